#pragma once
// What a presentation file is, as far as its container tells without the
// office: enough to say in plain words why the office could not open it.
#include <string>

namespace pelvantz {

enum class PresentationFileKind {
  Missing,     // nothing at the path
  Unreadable,  // a folder, or a file we may not read
  Empty,
  PowerPoint97,       // an unprotected PowerPoint 97-2003 presentation
  PasswordProtected,  // encrypted: PowerPoint 97-2003 or a protected 2007+ file
  PowerPoint4,        // the format before PowerPoint 97
  OpenXml,            // a PowerPoint 2007 or later file (a zip package)
  OtherDocument,      // a compound document of another kind (Word, Excel, ...)
  Damaged,            // a compound document whose structure is broken
  Unknown,            // anything else
};

PresentationFileKind InspectPresentationFile(const std::string& path);

}  // namespace pelvantz
