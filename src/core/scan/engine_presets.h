// The shipped presets: one definition file per source in the presets folder (data/presets/ in the
// source tree, share/tallyscope/presets/ once installed, presets/ beside the program in a build
// tree), named <preset>.ini. A preset file is one section [Preset] holding the keys of a slot's
// section of engines.ini; "Preset=moz" in a slot starts the slot from moz.ini, and the slot's own
// keys override the preset's.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tally {

// The section of a preset file.
inline constexpr const char* PresetSection = "Preset";

// The presets the folder holds, by name, sorted.
QStringList presetNames();

// The lines of a preset's section (CR LF between them), or nothing when there is no such preset
// or it cannot be read; *problem then says which.
std::optional<QString> presetSectionText(const QString& name, QString* problem = nullptr);

} // namespace tally
