#include "platform/rtl/stringlist.h"

#include <algorithm>

namespace platform {

VEL_IMPLEMENT_CLASS(TStrings, "Classes");
VEL_IMPLEMENT_CLASS(TStringList, "Classes");

// ------------------------------------------------------------------ TStrings

void TStrings::Error(const char* Msg, int Data) { throw EStringListError(Format(Msg, {std::int64_t(Data)})); }

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::Put(int Index, const std::string& S) {
  TObject* Obj = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, Obj);
}

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& S) {
  const int I = Count();
  Insert(I, S);
  return I;
}

int TStrings::AddObject(const std::string& S, TObject* Obj) {
  const int I = Add(S);
  PutObject(I, Obj);
  return I;
}

void TStrings::AddStrings(const TStrings& Strings) {
  BeginUpdate();
  try {
    for (int I = 0; I < Strings.Count(); ++I) AddObject(Strings.Get(I), Strings.GetObject(I));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* Obj) {
  Insert(Index, S);
  PutObject(Index, Obj);
}

void TStrings::Exchange(int Index1, int Index2) {
  BeginUpdate();
  const std::string S = Get(Index1);
  TObject* O = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, S);
  PutObject(Index2, O);
  EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  BeginUpdate();
  const std::string S = Get(CurIndex);
  TObject* O = GetObject(CurIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, S, O);
  EndUpdate();
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const { return CompareText(S1, S2); }

int TStrings::IndexOf(const std::string& S) const {
  for (int I = 0; I < Count(); ++I)
    if (CompareStrings(Get(I), S) == 0) return I;
  return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
  for (int I = 0; I < Count(); ++I) {
    const std::string Row = Get(I);
    const size_t P = Row.find(FNameValueSeparator);
    if (P != std::string::npos && CompareStrings(Row.substr(0, P), Name) == 0) return I;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* Obj) const {
  for (int I = 0; I < Count(); ++I)
    if (GetObject(I) == Obj) return I;
  return -1;
}

bool TStrings::Equals(const TStrings& Strings) const {
  if (Count() != Strings.Count()) return false;
  for (int I = 0; I < Count(); ++I)
    if (Get(I) != Strings.Get(I)) return false;
  return true;
}

std::string TStrings::Names(int Index) const {
  const std::string Row = Get(Index);
  const size_t P = Row.find(FNameValueSeparator);
  return P == std::string::npos ? std::string() : Row.substr(0, P);
}

std::string TStrings::ValueFromIndex(int Index) const {
  const std::string Row = Get(Index);
  const size_t P = Row.find(FNameValueSeparator);
  return P == std::string::npos ? std::string() : Row.substr(P + 1);
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value) {
  if (Value.empty()) {
    if (Index >= 0) Delete(Index);
    return;
  }
  if (Index < 0) Index = Add("");
  Put(Index, Names(Index) + FNameValueSeparator + Value);
}

std::string TStrings::Values(const std::string& Name) const {
  const int I = IndexOfName(Name);
  return I < 0 ? std::string() : ValueFromIndex(I);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
  const int I = IndexOfName(Name);
  if (Value.empty()) {
    if (I >= 0) Delete(I);
  } else if (I < 0) {
    Add(Name + FNameValueSeparator + Value);
  } else {
    Put(I, Name + FNameValueSeparator + Value);
  }
}

std::string TStrings::Text() const {
  std::string R;
  for (int I = 0; I < Count(); ++I) R += Get(I) + FLineBreak;
  return R;
}

void TStrings::SetText(const std::string& Value) {
  BeginUpdate();
  try {
    Clear();
    size_t I = 0;
    while (I < Value.size()) {
      size_t J = I;
      while (J < Value.size() && Value[J] != '\r' && Value[J] != '\n') ++J;
      Add(Value.substr(I, J - I));
      if (J < Value.size() && Value[J] == '\r') ++J;
      if (J < Value.size() && Value[J] == '\n') ++J;
      I = J;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::CommaText() const {
  TStringList L;
  L.Assign(const_cast<TStrings*>(this));
  return L.DelimitedText();
}

void TStrings::SetCommaText(const std::string& Value) {
  const char D = FDelimiter, Q = FQuoteChar;
  const bool Strict = FStrictDelimiter;
  FDelimiter = ',';
  FQuoteChar = '"';
  FStrictDelimiter = false;
  try {
    SetDelimitedText(Value);
  } catch (...) {
    FDelimiter = D, FQuoteChar = Q, FStrictDelimiter = Strict;
    throw;
  }
  FDelimiter = D, FQuoteChar = Q, FStrictDelimiter = Strict;
}

std::string TStrings::DelimitedText() const {
  const int N = Count();
  if (N == 1 && Get(0).empty()) return std::string(2, FQuoteChar);
  std::string R;
  for (int I = 0; I < N; ++I) {
    const std::string S = Get(I);
    bool NeedsQuotes = false;
    for (char C : S)
      if (C == FQuoteChar || C == FDelimiter || (!FStrictDelimiter && static_cast<unsigned char>(C) <= ' '))
        NeedsQuotes = true;
    if (I > 0) R += FDelimiter;
    R += NeedsQuotes ? QuotedStr(S, FQuoteChar) : S;
  }
  return R;
}

void TStrings::SetDelimitedText(const std::string& Value) {
  auto IsSpace = [&](char C) { return !FStrictDelimiter && C != '\0' && static_cast<unsigned char>(C) <= ' '; };
  BeginUpdate();
  try {
    Clear();
    size_t P = 0;
    const size_t N = Value.size();
    while (P < N && IsSpace(Value[P])) ++P;
    while (P < N) {
      std::string S;
      if (Value[P] == FQuoteChar) {
        ++P;
        while (P < N) {
          if (Value[P] == FQuoteChar) {
            if (P + 1 < N && Value[P + 1] == FQuoteChar) {
              S += FQuoteChar;
              P += 2;
              continue;
            }
            ++P;
            break;
          }
          S += Value[P++];
        }
      } else {
        const size_t Start = P;
        while (P < N && Value[P] != FDelimiter && !IsSpace(Value[P])) ++P;
        S = Value.substr(Start, P - Start);
      }
      Add(S);
      while (P < N && IsSpace(Value[P])) ++P;
      if (P < N && Value[P] == FDelimiter) {
        ++P;
        if (P == N) Add("");  // a trailing delimiter ends with an empty row
        while (P < N && IsSpace(Value[P])) ++P;
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::BeginUpdate() {
  if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Assign(TPersistent* Source) {
  if (auto* Src = dynamic_cast<TStrings*>(Source)) {
    if (Src == this) return;
    BeginUpdate();
    try {
      Clear();
      FNameValueSeparator = Src->FNameValueSeparator;
      FDelimiter = Src->FDelimiter;
      FQuoteChar = Src->FQuoteChar;
      FStrictDelimiter = Src->FStrictDelimiter;
      AddStrings(*Src);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

std::vector<std::string> TStrings::ToVector() const {
  std::vector<std::string> R;
  R.reserve(size_t(Count()));
  for (int I = 0; I < Count(); ++I) R.push_back(Get(I));
  return R;
}

// --------------------------------------------------------------- TStringList

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
  if (FOwnsObjects)
    for (auto& It : FList) delete It.Obj;
}

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) Error("List index out of bounds (%d)", Index);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
  return FCaseSensitive ? CompareStr(S1, S2) : CompareText(S1, S2);
}

std::string TStringList::Get(int Index) const {
  CheckIndex(Index);
  return FList[size_t(Index)].S;
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return FList[size_t(Index)].Obj;
}

void TStringList::Put(int Index, const std::string& S) {
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(Index);
  Changing();
  FList[size_t(Index)].S = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* Obj) {
  CheckIndex(Index);
  Changing();
  FList[size_t(Index)].Obj = Obj;
  Changed();
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* Obj) {
  Changing();
  FList.insert(FList.begin() + Index, TItem{S, Obj});
  Changed();
}

void TStringList::Insert(int Index, const std::string& S) {
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
  if (Index < 0 || Index > Count()) Error("List index out of bounds (%d)", Index);
  InsertItem(Index, S, nullptr);
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* Obj) {
  int Index;
  if (!FSorted) {
    Index = Count();
  } else if (Find(S, Index)) {
    switch (FDuplicates) {
      case dupIgnore:
        return Index;
      case dupError:
        throw EStringListError("String list does not allow duplicates");
      case dupAccept:
        break;
    }
  }
  InsertItem(Index, S, Obj);
  return Index;
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  TObject* Obj = FList[size_t(Index)].Obj;
  FList.erase(FList.begin() + Index);
  if (FOwnsObjects) delete Obj;
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<TItem> Old;
  Old.swap(FList);
  if (FOwnsObjects)
    for (auto& It : Old) delete It.Obj;
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[size_t(Index1)], FList[size_t(Index2)]);
  Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  Changing();
  TItem It = std::move(FList[size_t(CurIndex)]);
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, std::move(It));
  Changed();
}

int TStringList::IndexOf(const std::string& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int I;
  return Find(S, I) ? I : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const {
  // Lower bound, so the first of equal entries is found.
  int L = 0, H = Count() - 1;
  bool Found = false;
  while (L <= H) {
    const int M = (L + H) / 2;
    const int C = CompareStrings(FList[size_t(M)].S, S);
    if (C < 0) {
      L = M + 1;
    } else {
      H = M - 1;
      if (C == 0) Found = true;
    }
  }
  Index = L;
  return Found;
}

void TStringList::Sort() {
  CustomSort([](TStringList* List, int A, int B) {
    return List->CompareStrings(List->FList[size_t(A)].S, List->FList[size_t(B)].S);
  });
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
  if (Count() < 2) return;
  Changing();
  // Sort a permutation so the comparer can read the list by index.
  std::vector<int> Order(FList.size());
  for (size_t I = 0; I < Order.size(); ++I) Order[I] = int(I);
  std::stable_sort(Order.begin(), Order.end(), [&](int A, int B) { return Compare(this, A, B) < 0; });
  std::vector<TItem> Sorted;
  Sorted.reserve(FList.size());
  for (int I : Order) Sorted.push_back(std::move(FList[size_t(I)]));
  FList.swap(Sorted);
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) Sort();
}

}  // namespace platform
