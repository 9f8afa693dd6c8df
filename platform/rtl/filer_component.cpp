// The component level of the binary form: TWriter writes whole components
// through their published properties; TReader reads them back, creating the
// classes through the class registry, resolving references after the whole
// image and calling Loaded.
#include <memory>
#include <unordered_set>
#include <utility>

#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/typinfo.h"

namespace platform {

namespace {

bool IsBooleanType(PTypeInfo T) {
  const TTypeData* D = GetTypeData(T);
  return T == TypeInfo<bool>() || (D->BaseType && D->BaseType == TypeInfo<bool>());
}

std::vector<std::string> SplitIdents(const std::string& Text) {
  std::vector<std::string> R;
  std::size_t Start = 0;
  while (Start < Text.size()) {
    std::size_t Comma = Text.find(',', Start);
    if (Comma == std::string::npos) Comma = Text.size();
    if (Comma > Start) R.push_back(Text.substr(Start, Comma - Start));
    Start = Comma + 1;
  }
  return R;
}

std::string EncodeUtf8(std::uint32_t C) {
  std::string S;
  if (C < 0x80) {
    S += char(C);
  } else if (C < 0x800) {
    S += char(0xC0 | (C >> 6));
    S += char(0x80 | (C & 0x3F));
  } else {
    S += char(0xE0 | (C >> 12));
    S += char(0x80 | ((C >> 6) & 0x3F));
    S += char(0x80 | (C & 0x3F));
  }
  return S;
}

// The single code point of S (up to three UTF-8 bytes), or -1.
std::int64_t DecodeSingleUtf8(const std::string& S) {
  const auto* B = reinterpret_cast<const unsigned char*>(S.data());
  if (S.size() == 1 && B[0] < 0x80) return B[0];
  if (S.size() == 2 && (B[0] & 0xE0) == 0xC0 && (B[1] & 0xC0) == 0x80) {
    std::int64_t C = ((B[0] & 0x1F) << 6) | (B[1] & 0x3F);
    return C >= 0x80 ? C : -1;
  }
  if (S.size() == 3 && (B[0] & 0xF0) == 0xE0 && (B[1] & 0xC0) == 0x80 && (B[2] & 0xC0) == 0x80) {
    std::int64_t C = ((B[0] & 0x0F) << 12) | ((B[1] & 0x3F) << 6) | (B[2] & 0x3F);
    return C >= 0x800 ? C : -1;
  }
  return -1;
}

// Whether the property's value equals the ancestor's (the ancestor being of the same class).
bool SameAsAncestor(const TObject* Instance, const TObject* Ancestor, PPropInfo P) {
  if (!Ancestor || !Ancestor->InheritsFrom(P->DeclaringClass)) return false;
  switch (P->PropType->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
      return GetOrdProp(Instance, P) == GetOrdProp(Ancestor, P);
    case tkInt64:
      return GetInt64Prop(Instance, P) == GetInt64Prop(Ancestor, P);
    case tkFloat:
      return GetFloatProp(Instance, P) == GetFloatProp(Ancestor, P);
    case tkString:
    case tkLString:
    case tkWString:
      return GetStrProp(Instance, P) == GetStrProp(Ancestor, P);
    default:
      return false;
  }
}

// Restores a writer's or reader's field when the scope ends, however it ends.
template <class T>
class TRestore {
 public:
  TRestore(T& Ref, T Value) : FRef(Ref), FOld(std::move(Ref)) { FRef = std::move(Value); }
  ~TRestore() { FRef = std::move(FOld); }
  TRestore(const TRestore&) = delete;
  TRestore& operator=(const TRestore&) = delete;

 private:
  T& FRef;
  T FOld;
};

// The image of a collection as the writer writes it (references and handlers named from LookupRoot).
std::string CollectionImage(TCollection* Collection, TComponent* LookupRoot) {
  TMemoryStream S;
  TWriter W(&S);
  W.SetRoot(LookupRoot);
  W.SetLookupRoot(LookupRoot);
  W.WriteCollection(Collection);
  return std::string(reinterpret_cast<const char*>(S.Memory()), std::size_t(S.Size()));
}

// Whether two collections would be written alike; no collection counts as an empty one.
bool SameCollections(TCollection* A, TComponent* ARoot, TCollection* B, TComponent* BRoot) {
  if (!A || !B) return (A ? A->Count() : 0) == (B ? B->Count() : 0);
  if (A->Count() != B->Count()) return false;
  return CollectionImage(A, ARoot) == CollectionImage(B, BRoot);
}

// Every object that lives inside Obj and goes with it: the items of a
// collection and the sub-objects published by the objects met (components excepted).
void CollectContents(TObject* Obj, std::unordered_set<const TObject*>& Seen) {
  if (!Obj || !Seen.insert(Obj).second) return;
  if (auto* Coll = dynamic_cast<TCollection*>(Obj))
    for (int I = 0; I < Coll->Count(); ++I) CollectContents(Coll->Items(I), Seen);
  for (PPropInfo P : GetPropList(Obj)) {
    if (P->PropType->Kind != tkClass || !P->GetProc) continue;
    TObject* Sub = GetObjectProp(Obj, P);
    if (Sub && !dynamic_cast<TComponent*>(Sub)) CollectContents(Sub, Seen);
  }
}

}  // namespace

// ------------------------------------------------------------------ TWriter

void TWriter::WriteDescendent(TComponent* Root, TComponent* AAncestor) {
  SetRoot(Root);
  SetLookupRoot(Root);
  SetAncestor(AAncestor);
  TRestore<TComponent*> RootAncestor(FRootAncestor, AAncestor);
  WriteSignature();
  WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component) {
  struct TWriting {
    TComponent* C;
    explicit TWriting(TComponent* AC) : C(AC) { C->SetStreamingState(csWriting, true); }
    ~TWriting() { C->SetStreamingState(csWriting, false); }
  } Writing(Component);
  TComponent* Inherited = std::exchange(FChildAncestor, nullptr);
  if (!FRoot) SetRoot(Component);
  if (!FLookupRoot) SetLookupRoot(Component);
  const std::string ClassName = Component->ClassName();
  if (ClassName.size() > MaxClassNameLength)
    throw EWriteError("Class name " + ClassName + " is too long for a component image");
  if (Inherited) WritePrefix({ffInherited}, 0);
  WriteStr(ClassName);
  WriteStr(Component->Name());
  {
    TRestore<std::string> Path(FPropPath, std::string());
    // The ancestor's values are the defaults only for the component it stands for.
    TRestore<TPersistent*> Anc(FAncestor, Component == FRoot ? FAncestor : Inherited);
    WriteProperties(Component);
  }
  WriteListEnd();
  if (!FIgnoreChildren) {
    TRestore<TPersistent*> Anc(FAncestor, nullptr);
    Component->GetChildren(
        [this](TComponent* Child) {
          if (Child->ComponentStyle().Contains(csTransient)) return;
          // A child the ancestor has too (same name, same class) is written as inherited.
          TComponent* Anc =
              FRootAncestor && !Child->Name().empty() ? FRootAncestor->FindComponent(Child->Name()) : nullptr;
          FChildAncestor = Anc && Anc->ClassType() == Child->ClassType() ? Anc : nullptr;
          WriteComponent(Child);
        },
        FRoot);
  }
  WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* Instance) {
  for (PPropInfo P : GetPropList(Instance)) WriteProperty(Instance, P);
  Instance->DefineProperties(this);
}

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo* P) {
  if (!P->GetProc || !IsStoredProp(Instance, P)) return;
  const PTypeInfo T = P->PropType;
  const TTypeKind Kind = T->Kind;
  // Everything but a sub-object is read back through its setter.
  if (Kind != tkClass && !P->SetProc) return;
  if (Kind != tkClass && Kind != tkMethod) {
    if (FAncestor ? SameAsAncestor(Instance, FAncestor, P) : IsDefaultPropValue(Instance, P)) return;
  }
  switch (Kind) {
    case tkInteger: {
      const std::int64_t V = GetOrdProp(Instance, P);
      std::string Ident;
      if ((T == TypeInfo<TColor>() && ColorToIdent(std::int32_t(V), Ident)) ||
          (T == TypeInfo<TCursor>() && CursorToIdent(std::int32_t(V), Ident))) {
        WritePropName(P->Name);
        WriteIdent(Ident);
      } else {
        WritePropName(P->Name);
        WriteInteger(V);
      }
      break;
    }
    case tkChar:
      WritePropName(P->Name);
      WriteString(std::string(1, char(GetOrdProp(Instance, P))));
      break;
    case tkWChar:
      WritePropName(P->Name);
      WriteString(EncodeUtf8(std::uint32_t(GetOrdProp(Instance, P))));
      break;
    case tkEnumeration:
      WritePropName(P->Name);
      if (IsBooleanType(T))
        WriteBoolean(GetOrdProp(Instance, P) != 0);
      else
        WriteIdent(GetEnumProp(Instance, P));
      break;
    case tkSet:
      WritePropName(P->Name);
      WriteSet(SplitIdents(GetSetProp(Instance, P)));
      break;
    case tkFloat:
      WritePropName(P->Name);
      WriteFloat(GetFloatProp(Instance, P));
      break;
    case tkString:
    case tkLString:
    case tkWString:
      WritePropName(P->Name);
      WriteString(GetStrProp(Instance, P));
      break;
    case tkInt64:
      WritePropName(P->Name);
      WriteInteger(GetInt64Prop(Instance, P));
      break;
    case tkMethod: {
      const TMethod M = GetMethodProp(Instance, P);
      if (!M || !FLookupRoot) return;
      const std::string Name = FLookupRoot->MethodName(M.Code);
      if (Name.empty()) return;  // a handler that is no published method of the root does not stream
      WritePropName(P->Name);
      WriteIdent(Name);
      break;
    }
    case tkClass: {
      TObject* Obj = GetObjectProp(Instance, P);
      if (!Obj) return;
      auto* Comp = dynamic_cast<TComponent*>(Obj);
      if (Comp && !Comp->ComponentStyle().Contains(csSubComponent)) {
        if (!P->SetProc || Comp->Name().empty()) return;
        std::string Ref = Comp->Name();
        if (Comp != FLookupRoot && Comp->Owner() != FLookupRoot && Comp->Owner())
          Ref = Comp->Owner()->Name() + "." + Ref;
        WritePropName(P->Name);
        WriteIdent(Ref);
        return;
      }
      if (auto* Coll = dynamic_cast<TCollection*>(Obj)) {
        // Against an ancestor the collection is written when it differs; on
        // its own, when it has items.
        const bool HasAncestor = FAncestor && FAncestor->InheritsFrom(P->DeclaringClass);
        if (HasAncestor ? SameCollections(Coll, FLookupRoot, dynamic_cast<TCollection*>(GetObjectProp(FAncestor, P)),
                                          FRootAncestor ? FRootAncestor : dynamic_cast<TComponent*>(FAncestor))
                        : Coll->Count() == 0)
          return;
        WritePropName(P->Name);
        WriteCollection(Coll);
        return;
      }
      if (auto* Strings = dynamic_cast<TStrings*>(Obj)) {
        if (Strings->Count() == 0) return;
        WritePropName(P->Name + ".Strings");
        WriteListBegin();
        for (int I = 0; I < Strings->Count(); ++I) WriteString(Strings->Strings(I));
        WriteListEnd();
        return;
      }
      if (auto* Sub = dynamic_cast<TPersistent*>(Obj)) {
        TRestore<std::string> Path(FPropPath, FPropPath + P->Name + ".");
        TRestore<TPersistent*> Anc(FAncestor, nullptr);
        WriteProperties(Sub);
      }
      break;
    }
    default:
      break;
  }
}

void TWriter::WriteCollection(TCollection* Value) {
  // Item properties are named from the item itself and have no ancestor.
  TRestore<std::string> Path(FPropPath, std::string());
  TRestore<TPersistent*> Anc(FAncestor, nullptr);
  WriteValue(vaCollection);
  if (Value) {
    for (int I = 0; I < Value->Count(); ++I) {
      WriteListBegin();
      WriteProperties(Value->Items(I));
      WriteListEnd();
    }
  }
  WriteListEnd();
}

// ------------------------------------------------------------------ TReader

void TReader::PropertyError(const std::string& Message) {
  throw EReadError("Error reading " + FCompName + "." + FPropName + ": " + Message);
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  TComponentList Loaded, Created;
  TRestore<TComponentList*> L(FLoaded, &Loaded);
  TRestore<TComponentList*> C(FCreated, &Created);
  FFixups.clear();
  TComponent* Given = Root;
  try {
    ReadSignature();
    TFilerFlags Flags;
    int ChildPos = 0;
    ReadPrefix(Flags, ChildPos);
    const std::string ClassName = ReadStr();
    const std::string Name = ReadStr();
    if (!Root) {
      TClass Class = FindClass(ClassName);
      if (!Class->InheritsFrom(TComponent::StaticClass()) || !Class->CanCreateComponent())
        throw EReadError("Class " + ClassName + " is not a component class that can be created");
      Root = Class->CreateComponent(nullptr);
      Created.Add(Root);
    }
    Root->SetStreamingState(csLoading, true);
    Root->SetStreamingState(csReading, true);
    Loaded.Add(Root);
    // An instance already owned next to a component of the stored name keeps its own name.
    const bool Clash =
        Root->Owner() && Root->Owner()->FindComponent(Name) && Root->Owner()->FindComponent(Name) != Root;
    if (!Clash && !SameText(Root->Name(), Name)) {
      try {
        Root->SetName(Name);
      } catch (const EComponentError& E) {
        throw EReadError("Error reading " + ClassName + ": " + E.what());
      }
    }
    SetRoot(Root);
    SetLookupRoot(Root);
    TRestore<TComponent*> O(FOwner, FOwner ? FOwner : Root);
    if (FParent) Root->SetParentComponent(FParent);
    ReadComponentData(Root);
    ResolveFixups();
    for (int I = 0; I < Loaded.Count(); ++I) Loaded.Items(I)->SetStreamingState(csReading, false);
    for (int I = 0; I < Loaded.Count(); ++I) Loaded.Items(I)->Loaded();
    // Loaded of a class that does not chain to the base leaves no loading state behind.
    for (int I = 0; I < Loaded.Count(); ++I) Loaded.Items(I)->SetStreamingState(csLoading, false);
  } catch (...) {
    FFixups.clear();
    // Children first: they were created after the components that own or parent them.
    for (int I = Created.Count() - 1; I >= 0; --I) {
      if (I >= Created.Count()) continue;
      TComponent* Comp = Created.Items(I);
      delete Comp;
    }
    // What is left was there before the read: the given root and the inherited components.
    for (int I = 0; I < Loaded.Count(); ++I) {
      Loaded.Items(I)->SetStreamingState(csReading, false);
      Loaded.Items(I)->SetStreamingState(csLoading, false);
    }
    if (Given) {
      Given->SetStreamingState(csReading, false);
      Given->SetStreamingState(csLoading, false);
    }
    SetRoot(nullptr);
    SetLookupRoot(nullptr);
    // Whatever a component refused while it was read counts as damaged data.
    try {
      throw;
    } catch (const EFilerError&) {
      throw;
    } catch (const Exception& E) {
      throw EReadError(std::string("Error reading component: ") + E.what());
    }
  }
  return Root;
}

TComponent* TReader::ReadComponent(TComponent* Component) {
  if (FDepth >= MaxNesting) throw EReadError("Components nested too deeply at offset " + std::to_string(Position()));
  TRestore<int> Depth(FDepth, FDepth + 1);
  TFilerFlags Flags;
  int ChildPos = 0;
  ReadPrefix(Flags, ChildPos);
  const std::int64_t ClassAt = Position();
  const std::string ClassName = ReadStr();
  const std::string Name = ReadStr();
  if (!Component && Flags.Contains(ffInherited)) {
    // The component comes from an ancestor: it exists already and is only read into.
    Component = FOwner && !Name.empty() ? FOwner->FindComponent(Name) : nullptr;
    if (!Component)
      throw EReadError("Ancestor for '" + Name + "' not found (image at offset " + std::to_string(ClassAt) + ")");
    // Read once at most: a second image of it could make it a child of itself.
    if (FLoaded && FLoaded->IndexOf(Component) >= 0)
      throw EReadError("Component " + Name + " appears twice in the image (offset " + std::to_string(ClassAt) + ")");
    TClass Stored = Component->ClassType();
    while (Stored && !SameText(Stored->ClassNameView(), ClassName)) Stored = Stored->ClassParent();
    if (!Stored)
      throw EReadError("Inherited component " + Name + " is a " + Component->ClassName() + ", not a " + ClassName);
    Component->SetStreamingState(csLoading, true);
    Component->SetStreamingState(csReading, true);
  } else if (!Component) {
    TClass Class = FindClass(ClassName);
    if (!Class->InheritsFrom(TComponent::StaticClass()) || !Class->CanCreateComponent())
      throw EReadError("Class " + ClassName + " at offset " + std::to_string(ClassAt) +
                       " is not a component class that can be created");
    Component = Class->CreateComponent(FOwner);
    if (FCreated) FCreated->Add(Component);
    Component->SetStreamingState(csLoading, true);
    Component->SetStreamingState(csReading, true);
    try {
      Component->SetName(Name);
    } catch (const EComponentError& E) {
      throw EReadError("Error reading " + ClassName + " " + Name + ": " + E.what());
    }
  } else {
    Component->SetStreamingState(csLoading, true);
    Component->SetStreamingState(csReading, true);
  }
  if (FLoaded && FLoaded->IndexOf(Component) < 0) FLoaded->Add(Component);
  if (FParent) Component->SetParentComponent(FParent);
  if (Flags.Contains(ffInline)) {
    // A nested root: names inside it resolve against it, and it owns what is read inside it.
    Component->SetStreamingState(csInline, true);
    TRestore<TComponent*> Owner(FOwner, Component);
    TRestore<TComponent*> Lookup(FLookupRoot, Component);
    ReadComponentData(Component);
  } else {
    ReadComponentData(Component);
  }
  if (Flags.Contains(ffChildPos) && FParent) FParent->SetChildOrder(Component, ChildPos);
  return Component;
}

void TReader::ReadComponentData(TComponent* Instance) {
  {
    TRestore<std::string> Comp(FCompName, Instance->Name().empty() ? Instance->ClassName() : Instance->Name());
    while (!EndOfList()) ReadProperty(Instance);
    ReadListEnd();
  }
  TRestore<TComponent*> P(FParent, Instance);
  while (!EndOfList()) ReadComponent(nullptr);
  ReadListEnd();
}

void TReader::ReadProperty(TPersistent* Instance) {
  const std::string Path = ReadStr();
  SetPropName(Path);
  if (Path.empty()) PropertyError("Property name is empty");
  TPersistent* Obj = Instance;
  std::size_t Start = 0;
  for (;;) {
    const std::size_t Dot = Path.find('.', Start);
    const std::string Part = Path.substr(Start, Dot == std::string::npos ? std::string::npos : Dot - Start);
    PPropInfo P = GetPropInfo(Obj, Part);
    if (Dot == std::string::npos) {
      if (!P) {
        // Data the object declares with DefineProperty; the reader clears the name once it is read.
        SetPropName(Part);
        try {
          Obj->DefineProperties(this);
        } catch (const EReadError& E) {
          SetPropName(Path);
          const std::string Msg = E.what();
          if (Msg.rfind("Error reading ", 0) == 0) throw;
          PropertyError(Msg);
        } catch (const Exception& E) {
          SetPropName(Path);
          PropertyError(E.what());
        }
        const bool Unread = !PropName().empty();
        SetPropName(Path);
        if (Unread) PropertyError("Property " + Part + " does not exist");
        return;
      }
      try {
        ReadPropValue(Obj, P);
      } catch (const EReadError& E) {
        const std::string Msg = E.what();
        if (Msg.rfind("Error reading ", 0) == 0) throw;
        PropertyError(Msg);
      } catch (const EPropertyError& E) {
        PropertyError(E.what());
      } catch (const EConvertError& E) {
        PropertyError(E.what());
      } catch (const Exception& E) {
        // A setter that refuses the value (EInvalidOperation, EListError ...).
        PropertyError(E.what());
      }
      return;
    }
    // A step into a sub-object; "Strings" after a string list is its list of lines.
    if (!P) PropertyError("Property " + Part + " does not exist");
    if (P->PropType->Kind != tkClass) PropertyError("Property " + Part + " is not an object");
    auto* Sub = dynamic_cast<TPersistent*>(GetObjectProp(Obj, P));
    if (!Sub || dynamic_cast<TComponent*>(Sub)) PropertyError("Property " + Part + " has no object to read into");
    Start = Dot + 1;
    if (auto* Strings = dynamic_cast<TStrings*>(Sub); Strings && SameText(Path.substr(Start), "Strings")) {
      try {
        std::vector<std::string> Lines;
        ReadListBegin();
        while (!EndOfList()) Lines.push_back(ReadString());
        ReadListEnd();
        Strings->BeginUpdate();
        Strings->Clear();
        for (auto& Line : Lines) Strings->Add(Line);
        Strings->EndUpdate();
      } catch (const EReadError& E) {
        PropertyError(E.what());
      }
      return;
    }
    Obj = Sub;
  }
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo* P) {
  const PTypeInfo T = P->PropType;
  if (T->Kind != tkClass && !P->SetProc) PropertyError("Property " + P->Name + " is read-only");
  switch (T->Kind) {
    case tkInteger: {
      if (NextValue() == vaIdent && (T == TypeInfo<TColor>() || T == TypeInfo<TCursor>())) {
        const std::string Ident = ReadIdent();
        std::int32_t V = 0;
        if (!(T == TypeInfo<TColor>() ? IdentToColor(Ident, V) : IdentToCursor(Ident, V)))
          PropertyError("Invalid property value " + Ident);
        SetOrdProp(Instance, P, V);
      } else {
        SetOrdProp(Instance, P, ReadInt64());
      }
      break;
    }
    case tkChar:
    case tkWChar: {
      std::int64_t V;
      const TValueType Next = NextValue();
      if (Next == vaInt8 || Next == vaInt16 || Next == vaInt32) {
        V = ReadInteger();
      } else {
        const std::string S = ReadString();
        V = T->Kind == tkChar ? (S.size() == 1 ? std::uint8_t(S[0]) : -1) : DecodeSingleUtf8(S);
        if (V < 0) PropertyError("Invalid property value: not a single character");
      }
      SetOrdProp(Instance, P, V);
      break;
    }
    case tkEnumeration:
      if (IsBooleanType(T)) {
        SetOrdProp(Instance, P, ReadBoolean() ? 1 : 0);
      } else {
        const std::string Ident = ReadIdent();
        const std::int64_t V = GetEnumValue(T, Ident);
        const TTypeData* D = GetTypeData(T);
        if (V < D->MinValue || V > D->MaxValue) PropertyError("Invalid property value " + Ident);
        SetOrdProp(Instance, P, V);
      }
      break;
    case tkSet: {
      std::string Text;
      for (const std::string& S : ReadSet()) Text += (Text.empty() ? "" : ",") + S;
      SetOrdProp(Instance, P, std::int64_t(StringToSet(T, Text)));
      break;
    }
    case tkFloat:
      SetFloatProp(Instance, P, ReadFloat());
      break;
    case tkString:
    case tkLString:
    case tkWString:
      SetStrProp(Instance, P, ReadString());
      break;
    case tkInt64:
      SetInt64Prop(Instance, P, ReadInt64());
      break;
    case tkMethod: {
      if (NextValue() == vaNil) {
        ReadValue();
        SetMethodProp(Instance, P, TMethod{});
        break;
      }
      const std::string Name = ReadIdent();
      // Inside an inline component a handler may also be a method of the outer root.
      TComponent* Holder = FLookupRoot;
      const void* Code = Holder ? Holder->MethodAddress(Name) : nullptr;
      if (!Code && FRoot && FRoot != FLookupRoot) {
        Holder = FRoot;
        Code = Holder->MethodAddress(Name);
      }
      if (!Code) PropertyError("Method " + Name + " not found in " + (FLookupRoot ? FLookupRoot->ClassName() : ""));
      // A handler of another signature would be called with the wrong arguments.
      const std::type_info* Want = GetTypeData(T)->EventTypeId;
      const std::type_info* Have = MethodEventTypeId(Holder->ClassType(), Name);
      if (Want && Have && *Want != *Have)
        PropertyError("Invalid property value: method " + Name + " of " + Holder->ClassName() +
                      " does not match the event type " + T->Name);
      TMethod M;
      M.Code = Code;
      M.Data = Holder;
      SetMethodProp(Instance, P, M);
      break;
    }
    case tkClass: {
      const TClass PropClass = GetObjectPropClass(P);
      if (PropClass->InheritsFrom(TCollection::StaticClass()) || NextValue() == vaCollection) {
        auto* Coll = P->GetProc ? dynamic_cast<TCollection*>(GetObjectProp(Instance, P)) : nullptr;
        if (!Coll) PropertyError("Property " + P->Name + " holds no collection to read into");
        ReadCollection(Coll);
        break;
      }
      if (!P->SetProc || !PropClass->InheritsFrom(TComponent::StaticClass()))
        PropertyError("Property " + P->Name + " takes no value of its own");
      if (NextValue() == vaNil) {
        ReadValue();
        SetObjectProp(Instance, P, nullptr);
        break;
      }
      FFixups.push_back(TFixup{Instance, P, ReadIdent(), FCompName, FLookupRoot});
      break;
    }
    default:
      PropertyError("Property " + P->Name + " cannot be read");
  }
}

void TReader::ResolveFixups() {
  std::vector<TFixup> Fixups = std::move(FFixups);
  FFixups.clear();
  auto Find = [](TComponent* Root, const std::string& Name) -> TComponent* {
    if (!Root) return nullptr;
    return SameText(Name, Root->Name()) ? Root : Root->FindComponent(Name);
  };
  for (const TFixup& F : Fixups) {
    TComponent* Target = nullptr;
    TComponent* Root = F.LookupRoot ? F.LookupRoot : FRoot;
    const std::size_t Dot = F.Name.find('.');
    if (Dot == std::string::npos) {
      Target = Find(Root, F.Name);
      // Inside an inline component a name may also be one of the outer root's.
      if (!Target && Root != FRoot) Target = Find(FRoot, F.Name);
    } else {
      const std::string First = F.Name.substr(0, Dot);
      const std::string Rest = F.Name.substr(Dot + 1);
      TComponent* Holder = Find(Root, First);
      if (!Holder && Root != FRoot) Holder = Find(FRoot, First);
      if (!Holder && FRoot->Owner()) Holder = FRoot->Owner()->FindComponent(First);
      if (Holder) Target = Holder->FindComponent(Rest);
    }
    if (!Target || !Target->InheritsFrom(GetObjectPropClass(F.PropInfo)))
      throw EReadError("Error reading " + F.Context + "." + F.PropInfo->Name + ": Invalid reference " + F.Name +
                       (Target ? " (a " + Target->ClassName() + ")" : " (no such component)"));
    SetObjectProp(F.Instance, F.PropInfo, Target);
  }
}

void TReader::DropFixupsInto(TCollection* Collection) {
  if (FFixups.empty()) return;
  // References read earlier into items about to be destroyed must not outlive them.
  std::unordered_set<const TObject*> Doomed;
  for (int I = 0; I < Collection->Count(); ++I) CollectContents(Collection->Items(I), Doomed);
  std::erase_if(FFixups, [&](const TFixup& F) { return Doomed.count(F.Instance) != 0; });
}

void TReader::ReadCollection(TCollection* Collection) {
  if (FDepth >= MaxNesting) throw EReadError("Collections nested too deeply at offset " + std::to_string(Position()));
  TRestore<int> Depth(FDepth, FDepth + 1);
  CheckValue(vaCollection);
  const std::string Base = FCompName + "." + FPropName;
  TRestore<std::string> Prop(FPropName, FPropName);
  DropFixupsInto(Collection);
  Collection->BeginUpdate();
  try {
    Collection->Clear();
    for (int Index = 0; !EndOfList(); ++Index) {
      const TValueType V = NextValue();
      if (V == vaInt8 || V == vaInt16 || V == vaInt32) ReadInteger();
      ReadListBegin();
      TCollectionItem* Item;
      try {
        Item = Collection->Add();
      } catch (const EInvalidOperation& E) {
        PropertyError(E.what());
      }
      TRestore<std::string> Comp(FCompName, Base + "[" + std::to_string(Index) + "]");
      while (!EndOfList()) ReadProperty(Item);
      ReadListEnd();
    }
    ReadListEnd();
  } catch (...) {
    Collection->EndUpdate();
    throw;
  }
  Collection->EndUpdate();
}

// ------------------------------------------------------------------ TStream

void TStream::WriteComponent(TComponent* Instance) {
  TWriter Writer(this);
  Writer.WriteDescendent(Instance, nullptr);
}

TComponent* TStream::ReadComponent(TComponent* Instance) {
  TReader Reader(this);
  return Reader.ReadRootComponent(Instance);
}

}  // namespace platform
