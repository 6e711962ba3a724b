#include "clients/files/SettingsFileChecks.h"

#include "platform/SafeReplace.h"

namespace pw {

namespace {

bool StartsWithUtf16Mark(const std::string& bytes) {
  return bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0;
}

}  // namespace

StepResult RefuseToRewrite(FileSystem& files, const std::string& path, const std::string& bytes) {
  if (StartsWithUtf16Mark(bytes)) return FileFailure(path + " is UTF-16 text; it is left as it is.");
  return RefuseReadOnly(files, path);
}

StepResult RefuseReadOnly(FileSystem& files, const std::string& path) {
  FileAttributes attributes;
  if (Status s = files.ReadAttributes(path, &attributes)) return FileFailure(DescribeFailure("Reading", path, s));
  if (attributes.read_only) return FileFailure(path + " is marked read-only; it is left as it is.");
  return std::nullopt;
}

}  // namespace pw
