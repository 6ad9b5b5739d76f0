#pragma once
// Message boxes, with the Win32 flags and answers.

#include <cstdint>
#include <string>

namespace plomaret {

inline constexpr uint32_t MB_OK = 0x00;
inline constexpr uint32_t MB_OKCANCEL = 0x01;
inline constexpr uint32_t MB_YESNOCANCEL = 0x03;
inline constexpr uint32_t MB_YESNO = 0x04;
inline constexpr uint32_t MB_ICONERROR = 0x10;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONWARNING = 0x30;
inline constexpr uint32_t MB_ICONINFORMATION = 0x40;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A message box through the platform; returns the button chosen.
int MessageBox(const std::string& text, const std::string& caption, uint32_t flags);
// The simple message box: the text, the program's title, one OK button.
void ShowMessage(const std::string& text);

}  // namespace plomaret
