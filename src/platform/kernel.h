#pragma once

#include <cstdint>

// The kernel calls, in the program's own types.
namespace platform {

// The computer's name as Windows gives it: at most 15 characters. On entry `size` holds the
// size of `buffer`; on success it holds the length of the name. Non-zero on success.
int GetComputerNameA(char* buffer, std::uint32_t* size);

// The calling thread's last-error value.
void SetLastError(std::uint32_t errorCode);
std::uint32_t GetLastError();

}  // namespace platform
