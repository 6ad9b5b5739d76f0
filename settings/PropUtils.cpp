#include "settings/PropUtils.h"

#include <string>
#include <utility>
#include <vector>

#include "framework/core/ComponentImage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Translate.h"

namespace plomaret {

namespace {

// The control, then each child in child order, descending into windowed children.
void CollectControls(TControl* control, std::vector<TControl*>& controls) {
  controls.push_back(control);
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    for (int i = 0; i < windowed->ControlCount(); ++i) CollectControls(windowed->Controls(i), controls);
  }
}

// Runs after each component the reader takes. Where a component ends the stream,
// the image has no end marker of its own; stepping back one byte lets the
// component's last byte, which ends its child list, end the image too.
class TComponentReciever {
 public:
  TComponentReciever(TComponentReader& reader, TStream& stream) : FReader(reader), FStream(stream) {}
  void ComponentRead(TComponent*) {
    if (FReader.Position() == FStream.Size()) FReader.SetPosition(FReader.Position() - 1);
  }

 private:
  TComponentReader& FReader;
  TStream& FStream;
};

TComponent* ReadOneComponent(TStream& stream, TComponent& owner, TWinControl* parent) {
  TComponentReader reader(stream);
  TComponentReciever reciever(reader, stream);
  // A second component fails inside the reader, which then frees all it made.
  int count = 0;
  std::vector<TComponent*> read = reader.ReadImage(owner, parent, [&](TComponent* component) {
    if (++count > 1) throw EReadError(Tr("The image holds more than one component."));
    reciever.ComponentRead(component);
  });
  if (read.empty()) throw EReadError(Tr("The image holds no component."));
  return read.front();
}

}  // namespace

void WriteComponentImage(TComponent* component, TStream& stream) {
  if (component == nullptr) return;
  TComponentWriter writer(stream, component->Owner() != nullptr ? component->Owner() : component);
  writer.WriteImage(*component);
}

TComponent* ReadComponentImage(TStream& stream, TControl* control) {
  if (control == nullptr || control->Owner() == nullptr) return nullptr;
  TComponent& owner = *control->Owner();
  // Free the names, so that the components read may take them.
  std::vector<TControl*> controls;
  CollectControls(control, controls);
  std::vector<std::string> names;
  for (TControl* each : controls) {
    names.push_back(each->Name());
    each->SetName("");
  }
  TComponent* read = nullptr;
  try {
    read = ReadOneComponent(stream, owner, control->Parent());
  } catch (...) {
    for (size_t i = 0; i < controls.size(); ++i) {
      try {
        controls[i]->SetName(names[i]);
      } catch (const Exception&) {
        // Cannot happen: the names were unique, and what was read is gone again.
      }
    }
    return nullptr;
  }
  // The old children go too, or they would stay behind nameless and without parent.
  // Only those the owner holds: freeing one of them frees what it owns.
  std::vector<TControl*> doomed;
  for (size_t i = 1; i < controls.size(); ++i) {
    if (controls[i]->Owner() == &owner) doomed.push_back(controls[i]);
  }
  for (auto child = doomed.rbegin(); child != doomed.rend(); ++child) owner.FreeComponent(*child);
  owner.FreeComponent(control);
  return read;
}

}  // namespace plomaret
