#include "extract/test_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "records/file_services.h"
#include "records/record_file.h"

namespace pk {

namespace fs = std::filesystem;

namespace {

std::string failMarker;
std::vector<std::string> openedNames;
FileServices traced;

IoStatus TracedOpen(const char* name, OsAccess access, OsCreation creation, OsHandle* handle) {
  openedNames.emplace_back(name);
  return HostFileServices().open(name, access, creation, handle);
}

IoStatus TracedWrite(OsHandle handle, const void* bytes, int32_t count) {
  const std::string text(static_cast<const char*>(bytes), static_cast<size_t>(count));
  if (!failMarker.empty() && text.find(failMarker) != std::string::npos) return IO_DISK_FULL;
  return HostFileServices().write(handle, bytes, count);
}

}  // namespace

TracedFileServices::TracedFileServices(const std::string& marker) {
  failMarker = marker;
  openedNames.clear();
  traced = HostFileServices();
  traced.open = TracedOpen;
  traced.write = TracedWrite;
  UseFileServices(&traced);
}

TracedFileServices::~TracedFileServices() {
  UseFileServices(nullptr);
}

const std::vector<std::string>& TracedFileServices::OpenedNames() {
  return openedNames;
}

JobFileName JobName(const char* text) {
  JobFileName name;
  AssignText(name, text, static_cast<int32_t>(std::string(text).size()));
  return name;
}

void WriteWholeFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadWholeFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool FileExists(const std::string& name) {
  return fs::exists(name);
}

std::string CrLf(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

}  // namespace pk
