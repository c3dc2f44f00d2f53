// Owners of Win32 handles, one line per type.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace forms {

template <auto Release>
struct Releaser {
  template <class Handle>
  void operator()(Handle handle) const {
    Release(handle);
  }
};

using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, Releaser<DeleteObject>>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, Releaser<DeleteObject>>;
// FindFirstFile answers INVALID_HANDLE_VALUE, not null, when it finds nothing.
struct FindCloser {
  void operator()(HANDLE find) const {
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
  }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

}  // namespace forms
