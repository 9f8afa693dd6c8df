#include "console/attrib_editors.h"

#include <vector>

#include "platform/rtl/sysutils.h"

namespace vel {

using namespace platform;

VEL_IMPLEMENT_CLASS(TVelCompAttribEditor, "VelAttribEditors");

TVelCompAttribEditor::TVelCompAttribEditor(TComponent* AComponent, IDesigner* ADesigner)
    : TComponentEditor(AComponent, ADesigner) {}

namespace {

struct TAttribEditorRecord {
  TComponentClass ComponentClass;
  TComponentEditorClass EditorClass;
};

// The registrations, the most recent first; kept for the life of the library.
std::vector<TAttribEditorRecord>& AttribEditors() {
  static std::vector<TAttribEditorRecord> Records;
  return Records;
}

}  // namespace

void RegisterVelComponentAttribEditor(TComponentClass ComponentClass, TComponentEditorClass EditorClass) {
  if (!ComponentClass || !ComponentClass->InheritsFrom(TComponent::StaticClass()))
    throw EArgumentException("An attribute editor needs a component class");
  if (!EditorClass) throw EArgumentException("An attribute editor needs an editor class");
  auto& Records = AttribEditors();
  Records.insert(Records.begin(), TAttribEditorRecord{ComponentClass, EditorClass});
}

TInterfaceRef<IVelAttribEditor> GetVelComponentAttribEditor(TComponent* Component, IDesigner* Designer) {
  if (!Component) return nullptr;
  TClass Best = TPersistent::StaticClass();
  TComponentEditorClass EditorClass = nullptr;
  for (const TAttribEditorRecord& Record : AttribEditors()) {
    if (Component->InheritsFrom(Record.ComponentClass) && Record.ComponentClass != Best &&
        Record.ComponentClass->InheritsFrom(Best)) {
      Best = Record.ComponentClass;
      EditorClass = Record.EditorClass;
    }
  }
  if (!EditorClass) return nullptr;
  // Held as a component editor first, so that a wrong kind is freed when the cast fails.
  TInterfaceRef<IComponentEditor> Editor(static_cast<IComponentEditor*>(EditorClass->Create(Component, Designer)));
  auto* AttribEditor = dynamic_cast<TVelCompAttribEditor*>(Editor.Get());
  if (!AttribEditor) throw EInvalidCast(EditorClass->ClassName() + " is not an attribute editor");
  return TInterfaceRef<IVelAttribEditor>(static_cast<IVelAttribEditor*>(AttribEditor));
}

}  // namespace vel
