// Random bytes as a component image, read in place of a panel with a child. A
// failed read leaves every component as it was, names and parents too; a
// successful one replaces the panel, and the image of what was read reads back
// (into another form) to a component whose image is the same.
//
// Layout is settled before each image is taken: an image may give an aligned
// control bounds after its alignment, which hold only until its parent realigns.
#include <cstdint>
#include <string>

#include "FormClasses.h"
#include "FuzzCheck.h"
#include "editor/EditorFountain.h"
#include "framework/core/ComponentImage.h"
#include "framework/gui/Forms.h"
#include "framework/headless/HeadlessPlatform.h"
#include "settings/PropUtils.h"

namespace {

using namespace plomaret;

std::string ImageOf(TComponent* component) {
  auto stream = Create<TMemoryStream>();
  WriteComponentImage(component, *stream);
  return std::string(static_cast<const char*>(stream->Memory()), static_cast<size_t>(stream->Size()));
}

TOwned<TMemoryStream> StreamOf(const void* data, size_t size) {
  auto stream = Create<TMemoryStream>();
  stream->WriteBuffer(data, static_cast<int64_t>(size));
  stream->SetPosition(0);
  return stream;
}

// Class, name and parent of every component the form owns.
std::string Components(const TForm& form) {
  std::string text;
  for (int i = 0; i < form.ComponentCount(); ++i) {
    TComponent* component = form.Components(i);
    text += component->ClassName() + " " + component->Name();
    if (auto* control = dynamic_cast<TControl*>(component)) {
      text += " in " + (control->Parent() != nullptr ? control->Parent()->Name() : std::string("-"));
    }
    text += ";";
  }
  return text;
}

void Settle(TWinControl& control) {
  control.Realign();
  for (int i = 0; i < control.ControlCount(); ++i) {
    if (auto* windowed = dynamic_cast<TWinControl*>(control.Controls(i))) Settle(*windowed);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFormClasses();

  auto form = CreateWithoutOwner<TForm>();
  form->SetName("Form1");
  form->SetBounds(0, 0, 300, 200);
  Create<TEditorFountain>(form.get())->SetName("Fountain1");
  auto* panel = Create<TPanel>(form.get());
  panel->SetName("Panel1");
  panel->SetParent(form.get());
  auto* button = Create<TSpeedButton>(form.get());
  button->SetName("Button1");
  button->SetParent(panel);
  const std::string before = Components(*form);

  TComponent* read = ReadComponentImage(*StreamOf(data, size), panel);
  if (read == nullptr) {
    FUZZ_CHECK(Components(*form) == before);
    return 0;
  }
  FUZZ_CHECK(read->Owner() == form.get());
  FUZZ_CHECK(form->FindComponent("Fountain1") != nullptr);
  Settle(*form);
  const std::string image = ImageOf(read);

  auto other = CreateWithoutOwner<TForm>();
  other->SetBounds(0, 0, 300, 200);
  auto stream = StreamOf(image.data(), image.size());
  TComponent* again = nullptr;
  try {
    std::vector<TComponent*> components =
        TComponentReader(*stream).ReadImage(*other, dynamic_cast<TControl*>(read) != nullptr ? other.get() : nullptr);
    FUZZ_CHECK(components.size() == 1);
    again = components.front();
  } catch (const Exception&) {
    FUZZ_CHECK(!"an image the writer made must read back");
  }
  Settle(*other);
  FUZZ_CHECK(ImageOf(again) == image);
  return 0;
}
