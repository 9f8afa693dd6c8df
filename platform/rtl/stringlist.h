// String lists: the abstract TStrings and the concrete TStringList.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/events.h"
#include "platform/rtl/persistent.h"

namespace platform {

/// \brief A list of strings, each with an associated object.
///
/// Name=Value rows, comma and delimited text, and update counting. Letter case
/// is ignored in lookups unless a derived list says otherwise; only ASCII
/// letters are folded.
class TStrings : public TPersistent {
  VEL_CLASS(TStrings, TPersistent)
  TStrings() = default;

  // The storage interface every list implements.
  virtual int Count() const = 0;
  virtual std::string Get(int Index) const = 0;
  virtual TObject* GetObject(int Index) const;
  virtual void Put(int Index, const std::string& S);
  virtual void PutObject(int Index, TObject* Obj);
  virtual void Insert(int Index, const std::string& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;

  virtual int Add(const std::string& S);
  virtual int AddObject(const std::string& S, TObject* Obj);
  void Append(const std::string& S) { Add(S); }
  void AddStrings(const TStrings& Strings);
  void InsertObject(int Index, const std::string& S, TObject* Obj);
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);
  /// First index of S (letter case as the list compares), or -1.
  virtual int IndexOf(const std::string& S) const;
  int IndexOfName(const std::string& Name) const;
  int IndexOfObject(const TObject* Obj) const;
  bool Equals(const TStrings& Strings) const;

  std::string Strings(int Index) const { return Get(Index); }
  std::string operator[](int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }

  /// The text before the first NameValueSeparator, or "" when the row has none.
  std::string Names(int Index) const;
  std::string ValueFromIndex(int Index) const;
  void SetValueFromIndex(int Index, const std::string& Value);
  /// The value of the first row named Name, or "".
  std::string Values(const std::string& Name) const;
  /// Sets the value of the row named Name; an empty value deletes the row.
  void SetValues(const std::string& Name, const std::string& Value);
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char C) { FNameValueSeparator = C; }

  /// Rows joined by LineBreak, each followed by it.
  virtual std::string Text() const;
  /// Splits at CR, LF or CR LF.
  virtual void SetText(const std::string& Value);
  std::string CommaText() const;
  void SetCommaText(const std::string& Value);
  std::string DelimitedText() const;
  void SetDelimitedText(const std::string& Value);
  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char C) { FDelimiter = C; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char C) { FQuoteChar = C; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool B) { FStrictDelimiter = B; }
  std::string LineBreak() const { return FLineBreak; }
  void SetLineBreak(const std::string& S) { FLineBreak = S; }

  /// Nested update counting: SetUpdateState runs on the first BeginUpdate and the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  void Assign(TPersistent* Source) override;
  std::vector<std::string> ToVector() const;

 protected:
  virtual void SetUpdateState(bool Updating);
  /// Compares two strings the way this list compares (case-insensitive ASCII here).
  virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
  [[noreturn]] static void Error(const char* Msg, int Data);

 private:
  int FUpdateCount = 0;
  char FNameValueSeparator = '=';
  char FDelimiter = ',';
  char FQuoteChar = '"';
  bool FStrictDelimiter = false;
  std::string FLineBreak = "\n";
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

/// \brief The concrete string list: optional sorting, duplicate rules, change events.
class TStringList : public TStrings {
  VEL_CLASS(TStringList, TStrings)
  using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

  TStringList() = default;
  explicit TStringList(bool AOwnsObjects) : FOwnsObjects(AOwnsObjects) {}
  ~TStringList() override;

  int Count() const override { return int(FList.size()); }
  std::string Get(int Index) const override;
  TObject* GetObject(int Index) const override;
  void Put(int Index, const std::string& S) override;
  void PutObject(int Index, TObject* Obj) override;
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int Add(const std::string& S) override;
  int AddObject(const std::string& S, TObject* Obj) override;
  void Exchange(int Index1, int Index2) override;
  void Move(int CurIndex, int NewIndex) override;
  int IndexOf(const std::string& S) const override;

  /// Binary search in a sorted list: true and the index when found, else the insertion point.
  bool Find(const std::string& S, int& Index) const;
  virtual void Sort();
  virtual void CustomSort(const TStringListSortCompare& Compare);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const std::string& S1, const std::string& S2) const override;

 private:
  struct TItem {
    std::string S;
    TObject* Obj = nullptr;
  };
  void InsertItem(int Index, const std::string& S, TObject* Obj);
  void CheckIndex(int Index) const;

  std::vector<TItem> FList;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
};

}  // namespace platform
