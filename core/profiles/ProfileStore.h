// `ProfileStore`: the per-user folder "Talvenix" in the user's documents folder, holding the
// store file "$Profile0" (no extension). The one file holds all three profiles. The folder is
// created the moment a store path is needed; whoever creates it also seeds the per-key colour
// files kept there (EnsureFolder says when that is due).
#pragma once

#include <filesystem>
#include <string>

#include "core/profiles/ProfileFile.h"

namespace talvenix::profiles {

class ProfileStore {
public:
    // `documentsFolder` comes from the platform layer (XDG documents folder).
    explicit ProfileStore(std::filesystem::path documentsFolder);

    std::filesystem::path Folder() const { return folder_; }
    // The store file: Folder() / "$Profile0".
    std::filesystem::path StoreFile() const { return folder_ / StoreFileName(0); }
    // "$Profile%d" for `number`.
    static std::string StoreFileName(int number);

    enum class FolderResult { Existed, Created, Failed };
    FolderResult EnsureFolder() const;
    bool StoreExists() const;

private:
    std::filesystem::path folder_;
};

// Saves the working configuration into the store file, but only when that file exists already
// (the read-back creates it). True when written.
bool SaveToStore(const ProfileStore& store, macros::WorkingConfig& working);
// The same for a caller holding KeyTableLock (pass *handle).
bool SaveToStore(const ProfileStore& store, macros::Configuration& config);

// Replaces the working configuration with the store file's contents (dropping unapplied
// changes). On failure the working configuration stays as it was.
ProfileFileLoad::Status ReloadFromStore(const ProfileStore& store, macros::WorkingConfig& working);

}  // namespace talvenix::profiles
