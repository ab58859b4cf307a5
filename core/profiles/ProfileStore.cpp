#include "core/profiles/ProfileStore.h"

namespace talvenix::profiles {

ProfileStore::ProfileStore(std::filesystem::path documentsFolder)
    : folder_(std::move(documentsFolder) / "Talvenix") {}

std::string ProfileStore::StoreFileName(int number) { return "$Profile" + std::to_string(number); }

ProfileStore::FolderResult ProfileStore::EnsureFolder() const {
    std::error_code ec;
    if (std::filesystem::is_directory(folder_, ec)) return FolderResult::Existed;
    if (std::filesystem::create_directories(folder_, ec) && !ec) return FolderResult::Created;
    return std::filesystem::is_directory(folder_, ec) ? FolderResult::Existed : FolderResult::Failed;
}

bool ProfileStore::StoreExists() const {
    std::error_code ec;
    return std::filesystem::is_regular_file(StoreFile(), ec);
}

bool SaveToStore(const ProfileStore& store, macros::WorkingConfig& working) {
    if (!store.StoreExists()) return false;
    return SaveProfileFile(store.StoreFile(), working);
}

bool SaveToStore(const ProfileStore& store, macros::Configuration& config) {
    if (!store.StoreExists()) return false;
    return SaveProfileFile(store.StoreFile(), config);
}

ProfileFileLoad::Status ReloadFromStore(const ProfileStore& store, macros::WorkingConfig& working) {
    return LoadProfileFile(store.StoreFile(), working);
}

}  // namespace talvenix::profiles
