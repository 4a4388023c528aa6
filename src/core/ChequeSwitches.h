#pragma once

#include <array>

#include <QStringView>

// Captions and tool tips of the option switches and the endorsement parameters.

inline constexpr int kCheckBoxCount = 9;              // Chk(0)..Chk(8)
inline constexpr int kEndorsementParameterCount = 5;  // B_T(0)..B_T(4)

// The check boxes by meaning. Chk(i) for i up to LastSuppression keeps body field Txt(i) off
// the paper; Chk(SuppressDate) copies itself to the month and day boxes.
namespace Switch {
inline constexpr int SuppressDate = 0;
inline constexpr int LastSuppression = 6;
inline constexpr int PrintStub = 7;
inline constexpr int GuidesCloseIn = 8;
}  // namespace Switch

struct SwitchInfo {
    QStringView caption;
    QStringView toolTip;  // empty when the switch has none
};

// OP(0) crosswise feeding, OP(1) lengthwise feeding.
const std::array<SwitchInfo, 2>& feedOptions();
// Chk(0)..Chk(6): the body field of the same index is not printed; Chk(7): the stub is
// printed with the body; Chk(8): the paper guides close in from both sides.
const std::array<SwitchInfo, kCheckBoxCount>& checkBoxes();

struct EndorsementParameterInfo {
    QStringView label;
    QStringView designValue;
};

// B_T(0) X, B_T(1) Y, B_T(2) width, B_T(3) line spacing (mm), B_T(4) font size (points).
const std::array<EndorsementParameterInfo, kEndorsementParameterCount>& endorsementParameters();
