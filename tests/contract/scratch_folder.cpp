#include "tests/contract/driver.h"
#include "tests/support/temp_folder.h"

namespace zinnow::test {

struct ScratchFolder::Impl {
  TempFolder folder;
};
ScratchFolder::ScratchFolder() : impl_(new Impl) {}
ScratchFolder::~ScratchFolder() = default;
const AnsiString& ScratchFolder::Path() const {
  return impl_->folder.Path();
}

}  // namespace zinnow::test
