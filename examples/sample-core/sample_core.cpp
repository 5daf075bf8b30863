// A sample core library for the example: a stand-in for the real, separately
// shipped core that keeps one transaction in memory. Records hold text fields
// and binary fields, so what is inserted reads back; the transaction has a byte
// image that reads back in; a binary field of raw RGB pixels renders as a
// bitmap. Results: 1 for success, 0 for failure (see the last-error text).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core_call.h"
#include "platform.h"

#define SAMPLE_EXPORT extern "C" __attribute__((visibility("default")))

using Bitmap = platform::Bitmap;

// Every entry has the type the bridge calls it with.
#define BRIDGE_METHOD(name, result, params) extern "C" result CORE_CALL _##name params;
#include "method_list.h"
#undef BRIDGE_METHOD

namespace {

struct TextField {
  std::string name;
  std::string value;
};

struct BinaryField {
  std::string format;  // "RAW-RGB" renders: width x height pixels, 3 bytes each
  int width = 0, height = 0, depth = 0;
  std::vector<unsigned char> bytes;
};

struct Record {
  int type = 0;
  std::map<int, TextField> text;
  bool has_binary = false;
  BinaryField binary;
};

std::vector<Record> g_records;
std::string g_last_error;
std::string g_text;                     // the last text handed out
std::vector<unsigned char> g_image;     // the last byte image handed out
int g_report_mode;

int Fail(const std::string& why) {
  g_last_error = why;
  return 0;
}

// Records are addressed by type and by index (from 1) among records of that type.
Record* Find(int type, int index, bool create = false) {
  int seen = 0;
  for (Record& r : g_records)
    if (r.type == type && ++seen == index) return &r;
  if (create && index == seen + 1) {
    g_records.push_back(Record{type, {}, false, {}});
    return &g_records.back();
  }
  g_last_error = "no record " + std::to_string(type) + "." + std::to_string(index);
  return nullptr;
}

const char* Text(const std::string& text) {
  g_text = text;
  return g_text.c_str();
}

std::vector<unsigned char> Serialise() {
  std::ostringstream out;
  for (const Record& r : g_records) {
    out << "R " << r.type << "\n";
    for (const auto& f : r.text) out << "T " << f.first << " " << f.second.name << "\t" << f.second.value << "\n";
    if (r.has_binary) {
      const BinaryField& b = r.binary;
      out << "B " << b.format << " " << b.width << " " << b.height << " " << b.depth << " " << b.bytes.size()
          << "\n";
      out.write(reinterpret_cast<const char*>(b.bytes.data()), static_cast<std::streamsize>(b.bytes.size()));
      out << "\n";
    }
  }
  const std::string text = out.str();
  return std::vector<unsigned char>(text.begin(), text.end());
}

int Parse(const unsigned char* data, int size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(size)));
  std::vector<Record> records;
  std::string kind;
  while (in >> kind) {
    if (kind == "R") {
      records.push_back(Record{});
      in >> records.back().type;
    } else if (kind == "T" && !records.empty()) {
      int field;
      std::string rest;
      in >> field;
      in.get();
      std::getline(in, rest);
      const size_t tab = rest.find('\t');
      if (tab == std::string::npos) return Fail("malformed text field");
      records.back().text[field] = TextField{rest.substr(0, tab), rest.substr(tab + 1)};
    } else if (kind == "B" && !records.empty()) {
      BinaryField& b = records.back().binary;
      size_t length;
      in >> b.format >> b.width >> b.height >> b.depth >> length;
      in.get();
      b.bytes.resize(length);
      in.read(reinterpret_cast<char*>(b.bytes.data()), static_cast<std::streamsize>(length));
      records.back().has_binary = true;
    } else {
      return Fail("not a transaction image of the sample core");
    }
  }
  if (records.empty()) return Fail("empty transaction image");
  g_records = records;
  return 1;
}

void ReleaseBitmap(platform::PosixBitmap* bitmap) {
  delete[] bitmap->pixels;
  delete bitmap;
}

}  // namespace

SAMPLE_EXPORT int CORE_CALL _CreateNewNISTFile(void) {
  g_records.assign(1, Record{1, {}, false, {}});  // a transaction starts with its type-1 record
  return 1;
}

SAMPLE_EXPORT int CORE_CALL _ReadNISTFromMemory(const void* data, int size) {
  return size > 0 ? Parse(static_cast<const unsigned char*>(data), size) : Fail("no bytes");
}

SAMPLE_EXPORT int CORE_CALL _ReadNISTFromFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return Fail(std::string("cannot open ") + path);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return Parse(bytes.data(), static_cast<int>(bytes.size()));
}

SAMPLE_EXPORT int CORE_CALL _WriteNISTToFile(const char* path) {
  const std::vector<unsigned char> bytes = Serialise();
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return file ? 1 : Fail(std::string("cannot write ") + path);
}

SAMPLE_EXPORT int CORE_CALL _ReadSizeOfNISTByteArray(void) { return static_cast<int>(Serialise().size()); }

SAMPLE_EXPORT const void* CORE_CALL _ReadNISTByteArray(void) {
  g_image = Serialise();
  return g_image.data();
}

SAMPLE_EXPORT int CORE_CALL _CheckIfRecordTypeExists(int type) {
  for (const Record& r : g_records)
    if (r.type == type) return 1;
  return 0;
}

SAMPLE_EXPORT int CORE_CALL _ReadNumberOfRecords(int type) {
  int count = 0;
  for (const Record& r : g_records) count += r.type == type;
  return count;
}

// The sample's IDC of a record is its position in the transaction.
SAMPLE_EXPORT int CORE_CALL _ReadIDCofRecord(int type, int index) {
  const Record* r = Find(type, index);
  return r ? static_cast<int>(r - g_records.data()) : -1;
}

SAMPLE_EXPORT int CORE_CALL _DeleteRecord(int type, int index) {
  Record* r = Find(type, index);
  if (!r) return 0;
  g_records.erase(g_records.begin() + (r - g_records.data()));
  return 1;
}

SAMPLE_EXPORT const char* CORE_CALL _ReadRecordTxtField(int type, int index, int field, const char*) {
  const Record* r = Find(type, index);
  if (!r) return nullptr;
  auto found = r->text.find(field);
  if (found == r->text.end()) return g_last_error = "no field " + std::to_string(field), nullptr;
  return Text(found->second.value);
}

SAMPLE_EXPORT int CORE_CALL _ReadSizeOfRecordTxtField(int type, int index, int field, const char* text) {
  const char* value = _ReadRecordTxtField(type, index, field, text);
  return value ? static_cast<int>(std::strlen(value)) : 0;
}

SAMPLE_EXPORT const char* CORE_CALL _ReadRecordTxtFieldName(int type, int index, int field) {
  const Record* r = Find(type, index);
  if (!r || !r->text.count(field)) return nullptr;
  return Text(r->text.at(field).name);
}

SAMPLE_EXPORT int CORE_CALL _ReadSizeOfRecordTxtFieldName(int type, int index, int field, const char*) {
  const char* name = _ReadRecordTxtFieldName(type, index, field);
  return name ? static_cast<int>(std::strlen(name)) : 0;
}

SAMPLE_EXPORT const char* CORE_CALL _ReadRecordTxtFieldDescription(int type, int index, int field, const char*) {
  const char* name = _ReadRecordTxtFieldName(type, index, field);
  if (!name) return nullptr;
  return Text("field " + std::to_string(type) + "." + std::to_string(field) + " (" + name + ")");
}

SAMPLE_EXPORT int CORE_CALL _ReadSizeOfRecordTxtFieldDescription(int type, int index, int field,
                                                                 const char* text) {
  const char* description = _ReadRecordTxtFieldDescription(type, index, field, text);
  return description ? static_cast<int>(std::strlen(description)) : 0;
}

SAMPLE_EXPORT const char* CORE_CALL _ReadRecordExportedTxtFields(int type, int index) {
  const Record* r = Find(type, index);
  if (!r) return nullptr;
  std::string text;
  for (const auto& f : r->text)
    text += std::to_string(type) + "." + std::to_string(f.first) + ":" + f.second.value + "\n";
  return Text(text);
}

SAMPLE_EXPORT int CORE_CALL _ReadSizeOfRecordExportedTxtFields(int type, int index) {
  const char* text = _ReadRecordExportedTxtFields(type, index);
  return text ? static_cast<int>(std::strlen(text)) : 0;
}

SAMPLE_EXPORT int CORE_CALL _InsertRecordTxtField(int type, int index, int field, const char* name,
                                                  const char* value) {
  Record* r = Find(type, index, true);
  if (!r) return 0;
  r->text[field] = TextField{name, value};
  return 1;
}

SAMPLE_EXPORT int CORE_CALL _ReadSizeOfRecordBinaryField(int type, int index) {
  const Record* r = Find(type, index);
  return r && r->has_binary ? static_cast<int>(r->binary.bytes.size()) : 0;
}

SAMPLE_EXPORT const void* CORE_CALL _ReadRecordBinaryField(int type, int index) {
  const Record* r = Find(type, index);
  return r && r->has_binary ? r->binary.bytes.data() : nullptr;
}

SAMPLE_EXPORT int CORE_CALL _InsertRecordBinaryFieldFromMemory(int type, int index, const void* data, int size,
                                                               const char* format, int width, int height,
                                                               int depth) {
  Record* r = Find(type, index, true);
  if (!r) return 0;
  if (size < 0) return Fail("negative size");
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  r->binary = BinaryField{format, width, height, depth, std::vector<unsigned char>(bytes, bytes + size)};
  r->has_binary = true;
  return 1;
}

SAMPLE_EXPORT int CORE_CALL _InsertRecordBinaryFieldFromFile(int type, int index, const char* path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return Fail(std::string("cannot open ") + path);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return _InsertRecordBinaryFieldFromMemory(type, index, bytes.data(), static_cast<int>(bytes.size()), "FILE", 0,
                                            0, 0);
}

SAMPLE_EXPORT Bitmap CORE_CALL _CreateHBITMAPfromRecordBinaryField(int type, int index) {
  const Record* r = Find(type, index);
  if (!r || !r->has_binary) return nullptr;
  const BinaryField& b = r->binary;
  if (b.format != "RAW-RGB" || b.width <= 0 || b.height <= 0 ||
      b.bytes.size() != static_cast<size_t>(b.width) * b.height * 3) {
    g_last_error = "field " + std::to_string(type) + "." + std::to_string(index) + " is no RAW-RGB image";
    return nullptr;
  }
  uint32_t* pixels = new uint32_t[static_cast<size_t>(b.width) * b.height];
  for (size_t i = 0; i < static_cast<size_t>(b.width) * b.height; ++i)
    pixels[i] = (uint32_t{b.bytes[3 * i]} << 16) | (uint32_t{b.bytes[3 * i + 1]} << 8) | b.bytes[3 * i + 2];
  return new platform::PosixBitmap{b.width, b.height, pixels, ReleaseBitmap};
}

SAMPLE_EXPORT int CORE_CALL _SetKorvaneErrorReportMode(int mode) {
  const int previous = g_report_mode;
  g_report_mode = mode;
  return previous;
}

SAMPLE_EXPORT const char* CORE_CALL _ReadKorvaneLastErrorMessage(void) { return g_last_error.c_str(); }
