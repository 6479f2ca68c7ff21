#include "platform/folder_path.h"

#include "platform/text.h"

namespace zinnow {

AnsiString NormalFolderPath(const AnsiString& path, const CodePage& page) {
  AnsiString p = path;
  while (p.size() > 3 && p.back() == '\\' && LastCharStart(p, page) == p.size() - 1) p.pop_back();
  if (p.size() == 2 && p[1] == ':') p += '\\';
  return p;
}

AnsiString ParentFolder(const AnsiString& folder, const CodePage& page) {
  if (folder.size() <= 3) return folder;
  return NormalFolderPath(FolderOfPath(folder, page), page);
}

AnsiString NearestExistingFolder(const AnsiString& path,
                                 const std::function<bool(const AnsiString&)>& isFolder,
                                 const CodePage& page) {
  AnsiString folder = NormalFolderPath(path, page);
  while (!isFolder(folder) && ParentFolder(folder, page) != folder) {
    folder = ParentFolder(folder, page);
  }
  return folder;
}

}  // namespace zinnow
