// The Windows style bits that the POSIX dialogs read from the templates (the values windres
// stores) and the command codes they send to a dialog's logic, as Windows defines them.
#pragma once

#include <cstdint>

namespace wbh::platform::styles {

constexpr std::uint32_t kButtonTypeMask = 0x0F;
constexpr std::uint32_t kDefaultPushButton = 0x01;     // BS_DEFPUSHBUTTON
constexpr std::uint32_t kAutoCheckBox = 0x03;          // BS_AUTOCHECKBOX
constexpr std::uint32_t kGroupBox = 0x07;              // BS_GROUPBOX
constexpr std::uint32_t kAutoRadioButton = 0x09;       // BS_AUTORADIOBUTTON
constexpr std::uint32_t kButtonTop = 0x0400;           // BS_TOP
constexpr std::uint32_t kButtonMultiLine = 0x2000;     // BS_MULTILINE
constexpr std::uint32_t kStaticAlignMask = 0x03;       // SS_LEFT 0, SS_CENTER 1, SS_RIGHT 2
constexpr std::uint32_t kCentred = 0x01;               // SS_CENTER
constexpr std::uint32_t kMultiLine = 0x0004;           // ES_MULTILINE
constexpr std::uint32_t kReadOnly = 0x0800;            // ES_READONLY
constexpr std::uint32_t kTabStop = 0x00010000;         // WS_TABSTOP
constexpr std::uint32_t kGroup = 0x00020000;           // WS_GROUP
constexpr std::uint32_t kVerticalScroll = 0x00200000;  // WS_VSCROLL
constexpr std::uint32_t kBorder = 0x00800000;          // WS_BORDER
constexpr std::uint32_t kDisabled = 0x08000000;        // WS_DISABLED

constexpr int kCancel = 2;            // IDCANCEL
constexpr int kEditChanged = 0x0300;  // EN_CHANGE

}  // namespace wbh::platform::styles
