// Places a fuzz input so that its last byte sits right before an unmapped page: a read one
// byte past the end faults at once, even in the replay build that has no sanitizer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

class GuardedInput {
public:
    GuardedInput(const uint8_t* data, std::size_t size) : size_(size) {
        const std::size_t page = std::size_t(sysconf(_SC_PAGESIZE));
        const std::size_t dataPages = (size + page - 1) / page;
        mappedBytes_ = (dataPages + 1) * page;
        void* m = mmap(nullptr, mappedBytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m == MAP_FAILED) {
            mapping_ = nullptr;
            return;
        }
        mapping_ = static_cast<uint8_t*>(m);
        mprotect(mapping_ + dataPages * page, page, PROT_NONE);
        bytes_ = mapping_ + dataPages * page - size;
        if (size != 0)
            std::memcpy(bytes_, data, size);
    }
    ~GuardedInput() {
        if (mapping_ != nullptr)
            munmap(mapping_, mappedBytes_);
    }
    GuardedInput(const GuardedInput&) = delete;
    GuardedInput& operator=(const GuardedInput&) = delete;

    bool ok() const { return mapping_ != nullptr; }
    const uint8_t* data() const { return bytes_; }
    std::size_t size() const { return size_; }

private:
    uint8_t* mapping_ = nullptr;
    uint8_t* bytes_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mappedBytes_ = 0;
};
