#include "core/file_image.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if defined(__has_include)
#if __has_include(<sys/mman.h>) && __has_include(<unistd.h>)
#define TW_MAPPED_FILES 1
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#endif

namespace tw {

FileImage::~FileImage() { Release(); }

void FileImage::Release() {
#ifdef TW_MAPPED_FILES
    if (mapped_)
        munmap(data_, size_);
    else
#endif
        std::free(data_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}

FileImage::Status FileImage::Open(const char* path) {
    Release();
    error_ = 0;
#ifdef TW_MAPPED_FILES
    const int fd = open(path, O_RDONLY);
    if (fd < 0) {
        error_ = errno;
        return kCannotOpen;
    }
    struct stat st;
    Status status = kCannotRead;
    if (fstat(fd, &st) != 0) {
        status = kCannotRead;
    } else if (S_ISDIR(st.st_mode)) {
        error_ = EISDIR;
        status = kCannotOpen;
    } else if (S_ISREG(st.st_mode) && st.st_size == 0) {
        status = kOk;
    } else if (S_ISREG(st.st_mode) && std::uint64_t(st.st_size) <= SIZE_MAX) {
        void* p = mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (p != MAP_FAILED) {
            madvise(p, std::size_t(st.st_size), MADV_SEQUENTIAL);
            data_ = static_cast<unsigned char*>(p);
            size_ = std::size_t(st.st_size);
            mapped_ = true;
            status = kOk;
        }
    }
    close(fd);
    return status;
#else
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        error_ = errno;
        return kCannotOpen;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    Status status = kCannotRead;
    if (size >= 0 && std::fseek(file, 0, SEEK_SET) == 0) {
        // One zero byte behind the image, as the format's readers expect.
        data_ = static_cast<unsigned char*>(std::malloc(std::size_t(size) + 1));
        if (data_) {
            size_ = std::fread(data_, 1, std::size_t(size), file);
            data_[size_] = 0;
            status = kOk;
        }
    }
    std::fclose(file);
    return status;
#endif
}

}  // namespace tw
