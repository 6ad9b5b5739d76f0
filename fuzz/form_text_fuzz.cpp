// Random bytes as a form text, read into a form under it. A failed read leaves the
// form as it was; a successful one writes a text that reads back (into another
// form) to components whose text is the same.
//
// Layout is settled before each text is taken: a text may give an aligned control
// bounds after its alignment, which hold only until its parent realigns.
#include <cstdint>
#include <string>

#include "FormClasses.h"
#include "FuzzCheck.h"
#include "editor/EditorFountain.h"
#include "framework/core/FormText.h"
#include "framework/gui/Forms.h"
#include "framework/headless/HeadlessPlatform.h"

namespace {

using namespace plomaret;

std::string TextOf(TComponent* component) {
  std::string text;
  WriteFormText(*component, text);
  return text;
}

void Settle(TWinControl& control) {
  control.Realign();
  for (int i = 0; i < control.ControlCount(); ++i) {
    if (auto* windowed = dynamic_cast<TWinControl*>(control.Controls(i))) Settle(*windowed);
  }
}

TOwned<TForm> MakeForm() {
  auto form = CreateWithoutOwner<TForm>();
  form->SetName("Form1");
  form->SetBounds(0, 0, 300, 200);
  Create<TEditorFountain>(form.get())->SetName("Fountain1");
  return form;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFormClasses();

  auto form = MakeForm();
  TComponent* read = nullptr;
  try {
    read = ReadFormText(std::string_view(reinterpret_cast<const char*>(data), size), *form, form.get());
  } catch (const EReadError&) {
    FUZZ_CHECK(form->ComponentCount() == 1);
    return 0;
  }
  FUZZ_CHECK(read != nullptr && read->Owner() == form.get());
  Settle(*form);
  const std::string text = TextOf(read);

  auto other = MakeForm();
  TComponent* again = nullptr;
  try {
    again = ReadFormText(text, *other, dynamic_cast<TControl*>(read) != nullptr ? other.get() : nullptr);
  } catch (const Exception&) {
    FUZZ_CHECK(!"a text the writer made must read back");
  }
  Settle(*other);
  FUZZ_CHECK(TextOf(again) == text);
  return 0;
}
