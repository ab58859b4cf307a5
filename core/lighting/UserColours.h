// Per-key colours of effect 20: the current profile's colour table, the user colour file it
// comes from, and the editing operations of the colour-keys mode.
//
// State (shared by the three profiles, refreshed by ApplyUserColourSet): the current set
// index, the tool (0 paint with the colour, 1 paint with the base colour), the colour and the
// base colour. The profile is the lighting controller's; file n belongs to profile n.
//
// Keyboard writes use command 17 inside begin / end. Operations return the device result of
// their transaction (1 success), kColourFileError when the keyboard took the change but the
// colour file could not be written, kLightingBadArgument for an argument out of range (nothing
// changed), and 1 when there was nothing to do.
//
//  ApplyUserColourSet  reads "mode", then tool / jcolor / color and the slot entries of the
//                      104 key buttons, Fn and the G keys' shared slot 125 (its colour only;
//                      the nine G flags are not stored per key and keep their value) from
//                      set <mode> of the profile's file (missing
//                      keys read as their defaults, so a missing file gives set 0, tool 0,
//                      black colours and every key red with its base-colour flag set), and
//                      sends the whole table: eight 54-byte writes.
//  PaintKey            only while effect 20 is selected: tool 1 paints the base colour (flag
//                      1), tool 0 the colour (flag 0); one 3-byte write at the button's slot,
//                      then the slot's entry is written to the file.
//  PaintKeys           the same for the keys one drag passed over: one transaction whose
//                      writes each cover a run of consecutive slots (up to 18), and one
//                      rewrite of the file.
//  SetBaseColour       a new base colour repaints every button whose flag is 1 (keys, G keys,
//                      Fn), writes their entries and the set's header keys, then sends the table.
//  SetPaintColour      stores the colour and writes the header keys; no key changes.
//  SelectTool          stores the tool (0 or 1) and writes the header keys.
//  SelectSet           writes "mode" and applies the set.
//  RenameSet           writes the current set's name under "MODENAME".
//  ResetUserColours    copies the factory file 3 over the profile's file, then applies it.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/lighting/Colour.h"
#include "core/lighting/KeyColourTable.h"
#include "core/lighting/LightingController.h"
#include "core/lighting/LightingRecord.h"
#include "core/lighting/PaintButton.h"
#include "core/lighting/UserColourSet.h"

namespace talvenix::lighting {

class UserColours {
public:
    // `folder` holds the user colour files (the Talvenix folder of the Documents folder).
    UserColours(LightingController& lighting, std::filesystem::path folder);

    int ApplyUserColourSet();
    int PaintKey(PaintButton button);
    int PaintKeys(std::span<const PaintButton> buttons);
    // What painting puts on a key now: the base colour with tool 1, the colour with tool 0;
    // nullopt when painting does nothing (effect 20 not selected, or another tool value).
    std::optional<Colour> BrushColour() const;
    int SetBaseColour(Colour colour);
    int SetPaintColour(Colour colour);
    int SelectTool(int tool);
    int SelectSet(int index);
    int RenameSet(std::string_view name);
    int ResetUserColours();

    // Re-reads the ten set names of the current profile's file.
    void ReloadSetNames();

    int CurrentSet() const { return set_; }
    int Tool() const { return tool_; }
    Colour PaintColour() const { return colour_; }
    Colour BaseColour() const { return baseColour_; }
    const std::array<std::string, kColourSets>& SetNames() const { return names_; }
    const KeyColourTable& Table(int profile) const { return tables_.at(static_cast<std::size_t>(profile)); }
    // The colour a button shows in the current profile (the colour of its slot).
    Colour ButtonColour(PaintButton button) const;
    std::filesystem::path CurrentFile() const;

private:
    KeyColourTable& CurrentTable() { return tables_[static_cast<std::size_t>(lighting_.Profile())]; }
    std::vector<std::pair<std::string, std::string>> HeaderEntries() const;
    bool WriteHeader();
    int SendTable();

    LightingController& lighting_;
    std::filesystem::path folder_;
    std::array<KeyColourTable, kLightingProfiles> tables_{};
    std::array<std::string, kColourSets> names_{};
    int set_ = 0;
    int tool_ = 0;
    Colour colour_ = kBlack;
    Colour baseColour_ = kBlack;
};

}  // namespace talvenix::lighting
