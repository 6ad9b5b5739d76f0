#pragma once
// Window messages: the standard Win32 numbers and meanings the editor is written
// against, plus the framework's own notifications in a private range. Backends turn
// their input into these messages; the driver and the Qt translation name them
// through the one table below.

#include <cstdint>
#include <string>
#include <string_view>

namespace plomaret {

// Parameters are pointer-sized; results are 32-bit signed, as the Parts expect.
struct TMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  int32_t Result = 0;
};

// The Win32 packing of two 16-bit halves into a parameter or result.
inline constexpr intptr_t MakeLong(int low, int high) {
  return static_cast<intptr_t>(static_cast<uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
inline constexpr int LowWord(intptr_t value) { return static_cast<int>(value & 0xFFFF); }
inline constexpr int HighWord(intptr_t value) { return static_cast<int>((value >> 16) & 0xFFFF); }
// Signed halves, for coordinates.
inline constexpr int SignedLowWord(intptr_t value) { return static_cast<int16_t>(value & 0xFFFF); }
inline constexpr int SignedHighWord(intptr_t value) { return static_cast<int16_t>((value >> 16) & 0xFFFF); }

// Every message the framework knows, with its number. X(name, number)
#define PLOMARET_MESSAGES(X)          \
  X(WM_NULL, 0x0000)                  \
  X(WM_CREATE, 0x0001)                \
  X(WM_DESTROY, 0x0002)               \
  X(WM_MOVE, 0x0003)                  \
  X(WM_SIZE, 0x0005)                  \
  X(WM_ACTIVATE, 0x0006)              \
  X(WM_SETFOCUS, 0x0007)              \
  X(WM_KILLFOCUS, 0x0008)             \
  X(WM_ENABLE, 0x000A)                \
  X(WM_SETREDRAW, 0x000B)             \
  X(WM_SETTEXT, 0x000C)               \
  X(WM_GETTEXT, 0x000D)               \
  X(WM_GETTEXTLENGTH, 0x000E)         \
  X(WM_PAINT, 0x000F)                 \
  X(WM_CLOSE, 0x0010)                 \
  X(WM_QUERYENDSESSION, 0x0011)       \
  X(WM_ERASEBKGND, 0x0014)            \
  X(WM_SHOWWINDOW, 0x0018)            \
  X(WM_SETCURSOR, 0x0020)             \
  X(WM_MOUSEACTIVATE, 0x0021)         \
  X(WM_SETFONT, 0x0030)               \
  X(WM_GETFONT, 0x0031)               \
  X(WM_WINDOWPOSCHANGED, 0x0047)      \
  X(WM_CONTEXTMENU, 0x007B)           \
  X(WM_NCCREATE, 0x0081)              \
  X(WM_NCDESTROY, 0x0082)             \
  X(WM_NCCALCSIZE, 0x0083)            \
  X(WM_NCHITTEST, 0x0084)             \
  X(WM_NCPAINT, 0x0085)               \
  X(WM_GETDLGCODE, 0x0087)            \
  X(WM_KEYDOWN, 0x0100)               \
  X(WM_KEYUP, 0x0101)                 \
  X(WM_CHAR, 0x0102)                  \
  X(WM_DEADCHAR, 0x0103)              \
  X(WM_SYSKEYDOWN, 0x0104)            \
  X(WM_SYSKEYUP, 0x0105)              \
  X(WM_SYSCHAR, 0x0106)               \
  X(WM_IME_STARTCOMPOSITION, 0x010D)  \
  X(WM_IME_ENDCOMPOSITION, 0x010E)    \
  X(WM_IME_COMPOSITION, 0x010F)       \
  X(WM_COMMAND, 0x0111)               \
  X(WM_SYSCOMMAND, 0x0112)            \
  X(WM_TIMER, 0x0113)                 \
  X(WM_HSCROLL, 0x0114)               \
  X(WM_VSCROLL, 0x0115)               \
  X(WM_INITMENUPOPUP, 0x0117)         \
  X(WM_MOUSEMOVE, 0x0200)             \
  X(WM_LBUTTONDOWN, 0x0201)           \
  X(WM_LBUTTONUP, 0x0202)             \
  X(WM_LBUTTONDBLCLK, 0x0203)         \
  X(WM_RBUTTONDOWN, 0x0204)           \
  X(WM_RBUTTONUP, 0x0205)             \
  X(WM_RBUTTONDBLCLK, 0x0206)         \
  X(WM_MBUTTONDOWN, 0x0207)           \
  X(WM_MBUTTONUP, 0x0208)             \
  X(WM_MBUTTONDBLCLK, 0x0209)         \
  X(WM_MOUSEWHEEL, 0x020A)            \
  X(WM_CAPTURECHANGED, 0x0215)        \
  X(WM_IME_SETCONTEXT, 0x0281)        \
  X(WM_IME_NOTIFY, 0x0282)            \
  X(WM_IME_CONTROL, 0x0283)           \
  X(WM_IME_COMPOSITIONFULL, 0x0284)   \
  X(WM_IME_SELECT, 0x0285)            \
  X(WM_IME_CHAR, 0x0286)              \
  X(WM_CUT, 0x0300)                   \
  X(WM_COPY, 0x0301)                  \
  X(WM_PASTE, 0x0302)                 \
  X(WM_CLEAR, 0x0303)                 \
  X(WM_UNDO, 0x0304)                  \
  X(WM_USER, 0x0400)                  \
  X(EM_GETSEL, 0x00B0)                \
  X(EM_SETSEL, 0x00B1)                \
  X(EM_GETRECT, 0x00B2)               \
  X(EM_SETRECT, 0x00B3)               \
  X(EM_SETRECTNP, 0x00B4)             \
  X(EM_SCROLL, 0x00B5)                \
  X(EM_LINESCROLL, 0x00B6)            \
  X(EM_SCROLLCARET, 0x00B7)           \
  X(EM_GETMODIFY, 0x00B8)             \
  X(EM_SETMODIFY, 0x00B9)             \
  X(EM_GETLINECOUNT, 0x00BA)          \
  X(EM_LINEINDEX, 0x00BB)             \
  X(EM_SETHANDLE, 0x00BC)             \
  X(EM_GETHANDLE, 0x00BD)             \
  X(EM_GETTHUMB, 0x00BE)              \
  X(EM_LINELENGTH, 0x00C1)            \
  X(EM_REPLACESEL, 0x00C2)            \
  X(EM_GETLINE, 0x00C4)               \
  X(EM_LIMITTEXT, 0x00C5)             \
  X(EM_CANUNDO, 0x00C6)               \
  X(EM_UNDO, 0x00C7)                  \
  X(EM_FMTLINES, 0x00C8)              \
  X(EM_LINEFROMCHAR, 0x00C9)          \
  X(EM_SETTABSTOPS, 0x00CB)           \
  X(EM_SETPASSWORDCHAR, 0x00CC)       \
  X(EM_EMPTYUNDOBUFFER, 0x00CD)       \
  X(EM_GETFIRSTVISIBLELINE, 0x00CE)   \
  X(EM_SETREADONLY, 0x00CF)           \
  X(EM_SETWORDBREAKPROC, 0x00D0)      \
  X(EM_GETWORDBREAKPROC, 0x00D1)      \
  X(EM_GETPASSWORDCHAR, 0x00D2)       \
  X(EM_SETMARGINS, 0x00D3)            \
  X(EM_GETMARGINS, 0x00D4)            \
  X(EM_GETLIMITTEXT, 0x00D5)          \
  X(EM_POSFROMCHAR, 0x00D6)           \
  X(EM_CHARFROMPOS, 0x00D7)           \
  X(WM_DROPFILES, 0x0233)             \
  X(CM_FONTCHANGED, 0xB000)           \
  X(CM_COLORCHANGED, 0xB001)          \
  X(CM_CTL3DCHANGED, 0xB002)          \
  X(CM_ENABLEDCHANGED, 0xB003)        \
  X(CM_VISIBLECHANGED, 0xB004)        \
  X(CM_MOUSEENTER, 0xB005)            \
  X(CM_MOUSELEAVE, 0xB006)            \
  X(CM_ENTER, 0xB007)                 \
  X(CM_EXIT, 0xB008)                  \
  X(CM_WANTSPECIALKEY, 0xB009)        \
  X(CM_SHOWINGCHANGED, 0xB00A)      \
  X(CM_INPUTREFUSED, 0xB00B)

#define PLOMARET_DECLARE_MESSAGE(name, number) inline constexpr uint32_t name = number;
PLOMARET_MESSAGES(PLOMARET_DECLARE_MESSAGE)
#undef PLOMARET_DECLARE_MESSAGE

// The framework's own notifications start here; Win32 leaves this range to programs.
inline constexpr uint32_t CM_BASE = 0xB000;

// "WM_KEYDOWN" for 0x0100; "WM_USER+5" or "0x1234" for numbers without a name.
std::string MessageName(uint32_t msg);
// The number of a message name ("WM_KEYDOWN", case-sensitive), or -1.
int64_t MessageByName(std::string_view name);

// Answers to WM_GETDLGCODE: the keys a control wants for itself.
inline constexpr int32_t DLGC_WANTARROWS = 0x0001;
inline constexpr int32_t DLGC_WANTTAB = 0x0002;
inline constexpr int32_t DLGC_WANTALLKEYS = 0x0004;
inline constexpr int32_t DLGC_WANTCHARS = 0x0080;

// Key-state flags in the wParam of mouse messages.
inline constexpr intptr_t MK_LBUTTON = 0x0001;
inline constexpr intptr_t MK_RBUTTON = 0x0002;
inline constexpr intptr_t MK_SHIFT = 0x0004;
inline constexpr intptr_t MK_CONTROL = 0x0008;
inline constexpr intptr_t MK_MBUTTON = 0x0010;

// Scroll-bar requests (low word of the wParam of WM_HSCROLL and WM_VSCROLL).
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_ENDSCROLL = 8;

// The lParam bit of WM_KEYDOWN that marks an automatic repeat.
inline constexpr intptr_t KF_REPEAT_BIT = intptr_t{1} << 30;

// IME: the lParam flag of WM_IME_COMPOSITION that says a result string is ready.
inline constexpr intptr_t GCS_RESULTSTR = 0x0800;
// IME: WM_IME_NOTIFY about the candidate list (only the headless backend sends them).
inline constexpr intptr_t IMN_CHANGECANDIDATE = 0x0003;
inline constexpr intptr_t IMN_CLOSECANDIDATE = 0x0004;
inline constexpr intptr_t IMN_OPENCANDIDATE = 0x0005;

}  // namespace plomaret
