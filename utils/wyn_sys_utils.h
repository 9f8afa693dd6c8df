// Component naming, lookup and selection-list utilities.
//
// Names compare without regard to the case of the ASCII letters only. A
// dotted name denotes a component relative to a root: the component's Name
// when the root owns it, else the owning form's Name, ".", and the Name;
// "[NoName]" stands for a blank Name.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/controls/forms.h"
#include "platform/rtl/component.h"

namespace vel {

/// \brief A set of byte values (a character set).
class TCharSet {
 public:
  constexpr TCharSet() = default;
  /// The set of the bytes in Chars.
  constexpr explicit TCharSet(std::string_view Chars) {
    for (char C : Chars) Include(C);
  }
  /// The bytes from First to Last, both included.
  static constexpr TCharSet Range(char First, char Last) {
    TCharSet S;
    for (int C = static_cast<unsigned char>(First); C <= static_cast<unsigned char>(Last); ++C)
      S.Include(static_cast<char>(C));
    return S;
  }
  constexpr bool Contains(char C) const {
    const auto B = static_cast<unsigned char>(C);
    return (FBits[B / 64] >> (B % 64)) & 1u;
  }
  friend constexpr TCharSet operator+(TCharSet A, const TCharSet& B) {
    for (std::size_t I = 0; I < A.FBits.size(); ++I) A.FBits[I] |= B.FBits[I];
    return A;
  }

 private:
  constexpr void Include(char C) {
    const auto B = static_cast<unsigned char>(C);
    FBits[B / 64] |= std::uint64_t(1) << (B % 64);
  }
  std::array<std::uint64_t, 4> FBits{};
};

/// The characters that end the main part of a detail text: space ( ) , [ ] { }.
inline constexpr TCharSet SeperatorCharset{" (),[]{}"};
/// The characters of an identifier: digits, ASCII letters and "_".
inline constexpr TCharSet IdentCharset =
    TCharSet::Range('0', '9') + TCharSet::Range('A', 'Z') + TCharSet{"_"} + TCharSet::Range('a', 'z');

/// The text of S before its first separator character; all of S when it has none.
std::string ExtractMainStrFromDetail(std::string_view S);
/// The text after the first "=" of S; all of S when it has none. The flag has no effect.
std::string GetStrPairValue(std::string_view S, bool Reserved = false);

/// The nearest class, from A up through A's ancestors, that B is or inherits
/// from; none when either class is none.
platform::TClass GetCommonParentClass(platform::TClass A, platform::TClass B);
/// The nearest common class of the objects of List (empty entries skipped);
/// none for no list, an empty list or an empty first entry.
platform::TClass GetObjectsParentClass(const platform::TObjectList* List);

/// True when Owner or a component it owns directly bears Name; false without an owner.
bool CompNameExists(std::string_view Name, const platform::TComponent* Owner);
/// The first component owned by Owner that bears Comp's Name (Comp itself only
/// when IncludeSelf), else Owner when it bears that Name, else none. None
/// without a component or an owner.
platform::TComponent* CompNameExists(const platform::TComponent* Comp, platform::TComponent* Owner, bool IncludeSelf);
/// Base followed by the smallest number from 1 that is no name in Owner.
std::string GetUniqueName(std::string_view Base, const platform::TComponent* Owner);
/// A free name in Owner for a new component of AClass: the class name without
/// one leading "T", followed by the smallest free number from 1. Empty for no class.
std::string GetCompUniqueID(platform::TClass AClass, const platform::TComponent* Owner);

/// The number of entries of List that are controls.
int ControlCountInCompList(const platform::TComponentList* List);
/// Drops every entry that is not a control from List (the components stay).
void RemoveComponentFromCompList(platform::TComponentList* List);

/// The dotted name of Comp relative to Root; CompOwner is Comp's owner. Empty
/// for none, and for a component owned neither by Root nor by a form.
std::string CompToNSName(const platform::TComponent* Comp, const platform::TComponent* CompOwner,
                         const platform::TComponent* Root);
/// The component a dotted name denotes: a plain name inside Root (the
/// application without a root); the head of a dotted name among the
/// application's components and the rest inside it.
platform::TComponent* NSNameToComp(std::string_view Path, const platform::TComponent* Root);
/// The display-name flavour of CompToNSName; the display name is the Name.
std::string CompToNsCnName(const platform::TComponent* Comp, const platform::TComponent* CompOwner,
                           const platform::TComponent* Root);
/// The display-name flavour of NSNameToComp.
platform::TComponent* NsCnNameToComp(std::string_view Path, const platform::TComponent* Root);
/// The display-flavoured dotted name of the component Path denotes; empty when it denotes none.
std::string NsNameToNsCnName(std::string_view Path, const platform::TComponent* Root);
/// The dotted name of the component the display-flavoured Path denotes; empty when it denotes none.
std::string NsCnNameToNsName(std::string_view Path, const platform::TComponent* Root);
/// The first form owned by the application that bears Name, or none.
platform::TCustomForm* CnNameToForm(std::string_view Name);

/// Copies Source's streamed state (its published properties and streamed
/// children) onto Dest when both are of exactly the same class; otherwise, or
/// when either is none, nothing happens.
void CloneComponent(platform::TComponent* Source, platform::TComponent* Dest);

}  // namespace vel
