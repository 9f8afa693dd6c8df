#include "utils/wyn_sys_utils.h"

#include "platform/controls/controls.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/sysutils.h"

namespace vel {

using namespace platform;

namespace {

// One leading "." and then one trailing "." go; inner dots stay.
std::string DotTrim(std::string S) {
  if (!S.empty() && S.front() == '.') S.erase(0, 1);
  if (!S.empty() && S.back() == '.') S.pop_back();
  return S;
}

TComponent* FindIn(const TComponent* Owner, std::string_view Name) {
  return Owner ? Owner->FindComponent(std::string(Name)) : nullptr;
}

}  // namespace

std::string ExtractMainStrFromDetail(std::string_view S) {
  for (std::size_t I = 0; I < S.size(); ++I)
    if (SeperatorCharset.Contains(S[I])) return std::string(S.substr(0, I));
  return std::string(S);
}

std::string GetStrPairValue(std::string_view S, bool) {
  const std::size_t Eq = S.find('=');
  return std::string(Eq == std::string_view::npos ? S : S.substr(Eq + 1));
}

TClass GetCommonParentClass(TClass A, TClass B) {
  if (!B) return nullptr;
  for (TClass C = A; C; C = C->ClassParent())
    if (B->InheritsFrom(C)) return C;
  return nullptr;
}

TClass GetObjectsParentClass(const TObjectList* List) {
  if (!List || List->Count() == 0 || !List->Items(0)) return nullptr;
  TClass Result = List->Items(0)->ClassType();
  for (int I = 1; I < List->Count(); ++I)
    if (const TObject* Obj = List->Items(I)) Result = GetCommonParentClass(Result, Obj->ClassType());
  return Result;
}

bool CompNameExists(std::string_view Name, const TComponent* Owner) {
  if (!Owner) return false;
  for (int I = 0; I < Owner->ComponentCount(); ++I)
    if (SameText(Owner->Components(I)->Name(), Name)) return true;
  return SameText(Owner->Name(), Name);
}

TComponent* CompNameExists(const TComponent* Comp, TComponent* Owner, bool IncludeSelf) {
  if (!Comp || !Owner) return nullptr;
  for (int I = 0; I < Owner->ComponentCount(); ++I) {
    TComponent* C = Owner->Components(I);
    if (SameText(C->Name(), Comp->Name()) && (C != Comp || IncludeSelf)) return C;
  }
  return SameText(Owner->Name(), Comp->Name()) ? Owner : nullptr;
}

std::string GetUniqueName(std::string_view Base, const TComponent* Owner) {
  for (std::int64_t N = 1;; ++N) {
    std::string Candidate = std::string(Base) + IntToStr(N);
    if (!CompNameExists(Candidate, Owner)) return Candidate;
  }
}

std::string GetCompUniqueID(TClass AClass, const TComponent* Owner) {
  if (!AClass) return {};
  std::string_view Stem = AClass->ClassNameView();
  if (!Stem.empty() && Stem.front() == 'T') Stem.remove_prefix(1);
  return GetUniqueName(Stem, Owner);
}

int ControlCountInCompList(const TComponentList* List) {
  if (!List) return 0;
  int Count = 0;
  for (int I = 0; I < List->Count(); ++I)
    if (dynamic_cast<const TControl*>(List->Items(I))) ++Count;
  return Count;
}

void RemoveComponentFromCompList(TComponentList* List) {
  if (!List) return;
  for (int I = List->Count() - 1; I >= 0; --I)
    if (!dynamic_cast<const TControl*>(List->Items(I))) List->Delete(I);
}

std::string CompToNSName(const TComponent* Comp, const TComponent* CompOwner, const TComponent* Root) {
  if (!Comp) return {};
  std::string N = Comp->Name();
  if (Trim(N).empty()) N = "[NoName]";
  if (CompOwner == Root) return DotTrim(std::move(N));
  if (const auto* Form = dynamic_cast<const TCustomForm*>(CompOwner)) return DotTrim(Form->Name() + "." + N);
  return {};
}

TComponent* NSNameToComp(std::string_view Path, const TComponent* Root) {
  const std::size_t Dot = Path.find('.');
  if (Dot == std::string_view::npos) return Root ? FindIn(Root, Path) : FindIn(Application(), Path);
  TComponent* Owner = NSNameToComp(Path.substr(0, Dot), nullptr);
  return NSNameToComp(Path.substr(Dot + 1), Owner);
}

std::string CompToNsCnName(const TComponent* Comp, const TComponent* CompOwner, const TComponent* Root) {
  if (!Comp) return {};
  return DotTrim(CompToNSName(Comp, CompOwner, Root));
}

TComponent* NsCnNameToComp(std::string_view Path, const TComponent* Root) { return NSNameToComp(Path, Root); }

std::string NsNameToNsCnName(std::string_view Path, const TComponent* Root) {
  const TComponent* C = NSNameToComp(Path, Root);
  return C ? DotTrim(CompToNsCnName(C, C->Owner(), Root)) : std::string();
}

std::string NsCnNameToNsName(std::string_view Path, const TComponent* Root) {
  const TComponent* C = NsCnNameToComp(Path, Root);
  return C ? DotTrim(CompToNSName(C, C->Owner(), Root)) : std::string();
}

TCustomForm* CnNameToForm(std::string_view Name) {
  const TComponent* App = Application();
  for (int I = 0; I < App->ComponentCount(); ++I)
    if (auto* Form = dynamic_cast<TCustomForm*>(App->Components(I)); Form && SameText(Form->Name(), Name)) return Form;
  return nullptr;
}

void CloneComponent(TComponent* Source, TComponent* Dest) {
  if (!Source || !Dest || Source == Dest || Source->ClassType() != Dest->ClassType()) return;
  TMemoryStream Stream;
  Stream.WriteComponent(Source);
  Stream.SetPosition(0);
  Stream.ReadComponent(Dest);
}

}  // namespace vel
