// Test helper: opens a named mutex the way the client does (NULL DACL) and says whether it was
// new. Usage: pal_mutex_helper NAME [--gate]. With --gate it prints "ready" and waits until
// descriptor 3 reaches end of file, so that several helpers can be let go at the same instant.
// Prints "created", "exists" or "failed <error>", then follows commands on stdin: "close"
// closes the handle and prints "closed". At end of input it exits without closing anything.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "windows.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s NAME [--gate]\n", argv[0]);
        return 2;
    }
    if (argc > 2 && std::strcmp(argv[2], "--gate") == 0) {
        std::cout << "ready" << std::endl;
        char byte;
        while (read(3, &byte, 1) > 0) {
        }
    }
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    HANDLE mutex = CreateMutexA(&attributes, FALSE, argv[1]);
    DWORD error = GetLastError();
    if (!mutex) {
        std::cout << "failed " << error << std::endl;
    } else {
        std::cout << (error == ERROR_ALREADY_EXISTS ? "exists" : "created") << std::endl;
    }
    std::string command;
    while (std::getline(std::cin, command)) {
        if (command == "close" && mutex) {
            CloseHandle(mutex);
            mutex = nullptr;
            std::cout << "closed" << std::endl;
        }
    }
    return 0;
}
