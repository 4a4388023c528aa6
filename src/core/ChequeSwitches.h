#pragma once

#include <array>

#include <QStringView>

// Captions and tool tips of the option switches and the endorsement parameters.

inline constexpr int kCheckBoxCount = 9;              // Chk(0)..Chk(8)
inline constexpr int kEndorsementParameterCount = 5;  // B_T(0)..B_T(4)

// The check boxes by meaning. Chk(0) to Chk(6) each keep a body field off the paper (see
// SwitchInfo::suppresses); Chk(SuppressDate) copies itself to the month and day boxes.
namespace Switch {
inline constexpr int SuppressDate = 0;
inline constexpr int PrintStub = 7;
inline constexpr int GuidesCloseIn = 8;
}  // namespace Switch

struct SwitchInfo {
    QStringView caption;
    QStringView toolTip;
    int suppresses = -1;  // the body field that the switch keeps off the paper, or -1
};

// OP(0) crosswise feeding, OP(1) lengthwise feeding.
const std::array<SwitchInfo, 2>& feedOptions();
// Chk(0)..Chk(6): a body field is not printed; Chk(7): the stub is printed with the body;
// Chk(8): the paper guides close in from both sides.
const std::array<SwitchInfo, kCheckBoxCount>& checkBoxes();

// The check box that keeps this field off the paper, or -1.
int suppressingSwitch(int field);

struct EndorsementParameterInfo {
    QStringView label;
    QStringView designValue;
};

// B_T(0) X, B_T(1) Y, B_T(2) width, B_T(3) line spacing (mm), B_T(4) font size (points).
const std::array<EndorsementParameterInfo, kEndorsementParameterCount>& endorsementParameters();
