#pragma once

#include <functional>
#include <string>

#include "data/file_io.h"

namespace studyhop::test {

// The real file system with a seam: `hook`, when set, is asked before every
// step of a read or write and fails it with the errno it returns.
class FaultyFileSystem : public FileSystem {
public:
    using FileSystem::FileSystem;

    std::function<int(FileOp)> hook;

protected:
    int fault(FileOp op) override { return hook ? hook(op) : 0; }
};

}  // namespace studyhop::test
