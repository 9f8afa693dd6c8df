// Helpers for tests that build binary stream images byte by byte.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/filer.h"
#include "platform/rtl/stream.h"

namespace veltest {

/// \brief Appends raw bytes, tags and short strings so a fixture reads like the format.
class ByteBuilder {
 public:
  ByteBuilder& Bytes(std::initializer_list<int> Values) {
    for (int V : Values) Data.push_back(std::uint8_t(V));
    return *this;
  }
  ByteBuilder& Tag(platform::TValueType V) { return Bytes({V}); }
  /// A length byte and the bytes.
  ByteBuilder& Str(std::string_view S) {
    Data.push_back(std::uint8_t(S.size()));
    Data.insert(Data.end(), S.begin(), S.end());
    return *this;
  }
  ByteBuilder& Raw(std::string_view S) {
    Data.insert(Data.end(), S.begin(), S.end());
    return *this;
  }
  ByteBuilder& Signature() { return Raw("TPF0"); }
  std::vector<std::uint8_t> Data;
};

inline void Load(platform::TMemoryStream& S, const std::vector<std::uint8_t>& Data) {
  S.Clear();
  if (!Data.empty()) S.WriteBuffer(Data.data(), std::int64_t(Data.size()));
  S.SetPosition(0);
}

inline std::vector<std::uint8_t> Contents(platform::TCustomMemoryStream& S) {
  return std::vector<std::uint8_t>(S.Memory(), S.Memory() + S.Size());
}

}  // namespace veltest
