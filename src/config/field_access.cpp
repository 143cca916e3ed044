#include "config/field_access.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace velnora {
namespace {

// The records are the file's bytes; a big-endian host would need swapping.
static_assert(std::endian::native == std::endian::little);

template <typename T>
std::span<uint8_t> BytesOf(T& record) {
  return {reinterpret_cast<uint8_t*>(&record), sizeof(T)};
}
template <typename T>
std::span<const uint8_t> BytesOf(const T& record) {
  return {reinterpret_cast<const uint8_t*>(&record), sizeof(T)};
}

int ElementWidth(FieldType type) {
  switch (type) {
    case FieldType::Flag8: return 1;
    case FieldType::Flag16:
    case FieldType::Int16:
    case FieldType::Uint16:
    case FieldType::Int16Array: return 2;
    case FieldType::Flag32:
    case FieldType::Int32:
    case FieldType::Int32Array: return 4;
    default: return 0;
  }
}

}  // namespace

std::span<uint8_t> RecordBytes(CommonSettings& record) { return BytesOf(record); }
std::span<uint8_t> RecordBytes(AccountSettings& record) { return BytesOf(record); }
std::span<uint8_t> RecordBytes(AccountExtraSettings& record) { return BytesOf(record); }
std::span<const uint8_t> RecordBytes(const CommonSettings& record) { return BytesOf(record); }
std::span<const uint8_t> RecordBytes(const AccountSettings& record) { return BytesOf(record); }
std::span<const uint8_t> RecordBytes(const AccountExtraSettings& record) { return BytesOf(record); }
std::span<uint8_t> ImageBytes(SettingsImage& image) { return BytesOf(image); }
std::span<const uint8_t> ImageBytes(const SettingsImage& image) { return BytesOf(image); }

int64_t ReadNumber(std::span<const uint8_t> record, const FieldInfo& field, int element) {
  const int width = ElementWidth(field.type);
  const uint8_t* at = record.data() + field.offset + static_cast<std::size_t>(element) * width;
  switch (field.type) {
    case FieldType::Flag8: {
      int8_t v;
      std::memcpy(&v, at, 1);
      return v;
    }
    case FieldType::Uint16: {
      uint16_t v;
      std::memcpy(&v, at, 2);
      return v;
    }
    default:
      break;
  }
  if (width == 2 && field.Has(kPortNumber)) {
    uint16_t v;
    std::memcpy(&v, at, 2);
    return v;
  }
  if (width == 2) {
    int16_t v;
    std::memcpy(&v, at, 2);
    return v;
  }
  if (width == 4) {
    int32_t v;
    std::memcpy(&v, at, 4);
    return v;
  }
  return 0;
}

void WriteNumber(std::span<uint8_t> record, const FieldInfo& field, int64_t value, int element) {
  const int width = ElementWidth(field.type);
  uint8_t* at = record.data() + field.offset + static_cast<std::size_t>(element) * width;
  if (width == 1) {
    const int8_t v = static_cast<int8_t>(value);
    std::memcpy(at, &v, 1);
  } else if (width == 2) {
    const uint16_t v = static_cast<uint16_t>(value);
    std::memcpy(at, &v, 2);
  } else if (width == 4) {
    const uint32_t v = static_cast<uint32_t>(value);
    std::memcpy(at, &v, 4);
  }
}

std::string_view ReadText(std::span<const uint8_t> record, const FieldInfo& field) {
  const char* at = reinterpret_cast<const char*>(record.data() + field.offset);
  const void* nul = std::memchr(at, '\0', field.size);
  return {at, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - at) : field.size};
}

void WriteText(std::span<uint8_t> record, const FieldInfo& field, std::string_view text) {
  uint8_t* at = record.data() + field.offset;
  const std::size_t length = std::min<std::size_t>(text.size(), field.size - 1);
  std::memset(at, 0, field.size);
  std::memcpy(at, text.data(), length);
}

}  // namespace velnora
