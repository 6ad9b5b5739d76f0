#pragma once
// The form text: the published properties of a component tree in readable nested
// text, read and written with the same rules as the binary component image.
//
//   object Form1: TForm1              a component: name and class ("object TClass"
//     Left = 192                        when it has no name), its properties, then
//     Caption = 'plomaret.exe'          its children, each an object block of its own
//     Font.Name = 'MS Sans Serif'     objects the instance owns: dotted names
//     Font.Style = [fsBold, fsItalic] sets: member names in brackets
//     Buddy = Panel2                  references: a component of the root by name, or nil
//     Items = <                       collections: item blocks in angle brackets
//       item
//         LeftBracket = '(*'
//       end>
//     Lines.Strings = (               string lists: one string a line in parentheses
//       'first'
//       'second')
//     object Panel2: TPanel
//       Align = alTop
//     end
//   end
//
// Integers are decimal, enumerations and booleans by name, colours by name or as
// $00BBGGRR, floats in their shortest exact form. A string is quoted runs of
// printable ASCII ('' for a quote) and #nn for every other byte, so text in any
// code page survives byte for byte. Whitespace and line breaks between tokens do not
// matter to the reader. What is left out is what the image leaves out.

#include <string>
#include <string_view>

#include "framework/core/Component.h"

namespace plomaret {

// Appends the text of component and its children to out. References are written
// to components of component's owner (or of component, when it has none).
// EWriteError for a class that is not registered, so could not be read back.
void WriteFormText(TComponent& component, std::string& out);

// Reads one object block from text: the component is made by its class name, owned
// by owner and put under parent (if any), as are its children; references are set
// and every component made is Loaded. On any failure every component made here is
// freed and EReadError says what is wrong and on which line ("line 12: ...").
TComponent* ReadFormText(std::string_view text, TComponent& owner, TComponent* parent);
// Reads the object block into root itself, as a form reads its own description:
// the block's class must be root's; root takes its properties and owns the components
// made for its children. On failure those components are freed again.
void ReadFormTextInto(std::string_view text, TComponent& root);

}  // namespace plomaret
