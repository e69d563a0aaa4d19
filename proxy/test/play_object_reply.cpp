#include "play_object_reply.h"

#include "byte_stream.h"

namespace proxytest {

PlayObjectValues DistinctValues(int seed) {
    PlayObjectValues v;
    int next = seed * 100;
    for (int* field : {&v.numberF, &v.numberH, &v.bufferProgress, &v.bufferValue2, &v.numberG,
                       &v.numberA, &v.numberB, &v.volume, &v.position, &v.state, &v.numberE,
                       &v.duration, &v.numberC, &v.numberD}) {
        *field = ++next;
    }
    for (size_t i = 0; i < sizeof(v.block.bytes); ++i) {
        v.block.bytes[i] = static_cast<uint8_t>(seed + i);
    }
    v.flag = static_cast<uint8_t>(seed);
    v.data = {seed, seed + 1, seed + 2};
    const std::string tag = std::to_string(seed);
    v.textA = "a" + tag;
    v.textB = "bb" + tag;
    v.textC = "ccc" + tag;
    v.textD = "dddd" + tag;
    return v;
}

std::vector<uint8_t> EncodePlayObject(const PlayObjectValues& v, std::vector<size_t>* ends) {
    CStreamWriter w;
    auto mark = [&] {
        if (ends != nullptr) {
            ends->push_back(static_cast<size_t>(w.GetSize()));
        }
    };
    w.WriteInt(v.result), mark();
    for (int field : {v.numberF, v.numberH, v.bufferProgress, v.bufferValue2, v.numberG, v.numberA,
                      v.numberB}) {
        w.WriteInt(field), mark();
    }
    w.WriteBlock(v.block), mark();
    w.WriteByte(v.flag), mark();
    w.WriteInt(v.volume), mark();
    w.WriteInt(v.position), mark();
    const int bytes = static_cast<int>(v.data.size() * sizeof(int));
    w.WriteInt(bytes);
    w.WriteRaw(v.data.data(), bytes), mark();
    w.WriteInt(v.state), mark();
    w.WriteString(v.textD), mark();
    w.WriteString(v.textB), mark();
    w.WriteInt(v.numberE), mark();
    w.WriteInt(v.duration), mark();
    w.WriteString(v.textA), mark();
    w.WriteInt(v.numberC), mark();
    w.WriteInt(v.numberD), mark();
    w.WriteString(v.textC), mark();
    return std::vector<uint8_t>(w.GetData(), w.GetData() + w.GetSize());
}

}  // namespace proxytest
