#include "system_info.h"

#include <cpuid.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>

#include "minidump_format.h"

namespace dbghelp {
namespace {

// Counted when the library loads: sysconf is not safe inside a signal handler.
const long g_processors = sysconf(_SC_NPROCESSORS_ONLN);

uint32_t ReadNumber(const char*& p) {
    uint32_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + static_cast<uint32_t>(*p++ - '0');
    }
    if (*p == '.') {
        ++p;
    }
    return value;
}

void Append(SystemInfo* info, const char* text) {
    size_t room = sizeof info->text - 1 - info->textLength;
    size_t n = strnlen(text, room);
    std::memcpy(info->text + info->textLength, text, n);
    info->textLength += static_cast<uint32_t>(n);
    info->text[info->textLength] = '\0';
}

void GatherProcessor(SystemInfo* info) {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(0, &eax, &ebx, &ecx, &edx)) {
        info->vendor[0] = ebx;
        info->vendor[1] = edx;
        info->vendor[2] = ecx;
    }
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        info->version = eax;
        info->features = edx;
        uint32_t family = (eax >> 8) & 0xF;
        uint32_t model = (eax >> 4) & 0xF;
        if (family == 0xF) {
            family += (eax >> 20) & 0xFF;
        }
        if (family == 0x6 || family >= 0xF) {
            model |= ((eax >> 16) & 0xF) << 4;
        }
        info->processorLevel = static_cast<uint16_t>(family);
        info->processorRevision = static_cast<uint16_t>(model << 8 | (eax & 0xF));
    }
    if (std::memcmp(info->vendor, "AuthenticAMD", 12) == 0 &&
        __get_cpuid(0x80000001, &eax, &ebx, &ecx, &edx)) {
        info->amdFeatures = edx;
    }
}

}  // namespace

void GatherSystemInfo(SystemInfo* info) {
    std::memset(info, 0, sizeof *info);
    GatherProcessor(info);
    info->processors = static_cast<uint8_t>(g_processors < 1     ? 1
                                            : g_processors > 255 ? 255
                                                                 : g_processors);
    utsname names{};
    if (uname(&names) == 0) {
        const char* p = names.release;
        info->major = ReadNumber(p);
        info->minor = ReadNumber(p);
        info->build = ReadNumber(p);
        const char* parts[] = {names.sysname, " ", names.release, " ",
                               names.version, " ", names.machine};
        for (const char* part : parts) {
            Append(info, part);
        }
    }
}

void PutSystemInfo(DumpOutput* out, const SystemInfo& info, uint32_t textRva) {
    out->U16(kArchitectureAmd64);
    out->U16(info.processorLevel);
    out->U16(info.processorRevision);
    out->U8(info.processors);
    out->U8(kProductWorkstation);
    out->U32(info.major);
    out->U32(info.minor);
    out->U32(info.build);
    out->U32(kPlatformLinux);
    out->U32(textRva);
    out->U16(0);  // suite mask
    out->U16(0);
    for (uint32_t word : info.vendor) {
        out->U32(word);
    }
    out->U32(info.version);
    out->U32(info.features);
    out->U32(info.amdFeatures);
}

}  // namespace dbghelp
