// The rule that keeps the three profile thresholds of the Options dialog consistent.
//
// The dialog shows three threshold boxes, indexed like its txtProfile array: 0 low, 1 medium,
// 2 high. Whenever the text of one box changes, whether typed or set by the dialog itself, the rule
// runs for that box:
//   - an empty box, or one holding a single space, is left alone;
//   - while any box does not read as a whole number, the last character of the changed box goes,
//     and the rule runs again, until the text reads or is empty (or a single space);
//   - low changed:    when low >= medium, medium becomes low + low;
//   - medium changed: when low >= medium, low becomes medium - 1; high becomes medium, always;
//   - high changed:   medium becomes high.
// A box set by the rule runs the rule for that box in turn; a box that receives the text it
// already holds does not, which ends the chain.
//
// The functions here work on plain texts so that the rule can be exercised without a window; the
// dialog hands its three texts in and writes back whatever changed.
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace tally {

// The texts of the threshold boxes: [0] low, [1] medium, [2] high.
using ProfileTexts = std::array<QString, 3>;

inline constexpr int LowProfileBox = 0;
inline constexpr int MediumProfileBox = 1;
inline constexpr int HighProfileBox = 2;

// True for the texts the rule leaves alone: empty, or exactly one space.
bool isBlankThreshold(QStringView text);

// Runs the change rule for box `index` (0..2), whose text in `texts` has just changed, together
// with every change the rule causes in turn. An index out of range does nothing. Returns whether
// any of the three texts was changed.
bool thresholdChangeRule(ProfileTexts& texts, int index);

} // namespace tally
