// Another copy of the program for WindowsFileIoTest: takes the folder lock of
// the folder given, writes "held" there and waits to be killed.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

#include "data/file_io.h"
#include "data/platform.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        return 2;
    }
    studyhop::FileSystem fs(studyhop::commandLineArguments(argc, argv).at(1));
    studyhop::FileLock lock;
    if (!fs.tryLock("a.qz2", lock).ok() || !lock.held()) {
        return 1;
    }
    if (!fs.replaceFile("held", "").ok()) {
        return 1;
    }
    Sleep(INFINITE);
}
