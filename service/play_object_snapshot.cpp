#include "play_object_snapshot.h"

#include <cstdint>

#include "byte_stream.h"

namespace {

void WriteObjectText(CStreamWriter& writer, IPlayObject& object,
                     void (IPlayObject::*getter)(char*)) {
    char buffer[PLAY_OBJECT_TEXT_SIZE] = {};
    (object.*getter)(buffer);
    // The getter has no length to go by: never read past the buffer's last byte.
    buffer[PLAY_OBJECT_TEXT_SIZE - 1] = '\0';
    writer.WriteText(buffer);
}

void WriteObjectData(CStreamWriter& writer, IPlayObject& object) {
    int* data = nullptr;
    int count = 0;
    object.GetData(&data, &count);
    if (!data || count <= 0 || count > INT32_MAX / static_cast<int>(sizeof(int32_t))) {
        writer.WriteInt(0);
        return;
    }
    const int length = count * static_cast<int>(sizeof(int32_t));
    writer.WriteInt(length);
    writer.WriteRaw(data, length);
}

}  // namespace

void WritePlayObjectSnapshot(IPlayObject& object, CStreamWriter& writer) {
    writer.WriteInt(object.GetNumberF());
    writer.WriteInt(object.GetNumberH());
    int bufferFirst = 0;
    int bufferSecond = 0;
    object.GetBufferInfo(&bufferFirst, &bufferSecond);
    writer.WriteInt(bufferFirst);
    writer.WriteInt(bufferSecond);
    writer.WriteInt(object.GetNumberG());
    writer.WriteInt(object.GetNumberA());
    writer.WriteInt(object.GetNumberB());
    PlayBlock block;
    object.GetBlock(&block);
    writer.WriteBlock(block);
    writer.WriteByte(object.GetFlag());
    writer.WriteInt(object.GetVolume());
    writer.WriteInt(object.GetPosition());
    WriteObjectData(writer, object);
    writer.WriteInt(object.GetState());
    WriteObjectText(writer, object, &IPlayObject::GetTextD);
    WriteObjectText(writer, object, &IPlayObject::GetTextB);
    writer.WriteInt(object.GetNumberE());
    writer.WriteInt(object.GetDuration());
    WriteObjectText(writer, object, &IPlayObject::GetTextA);
    writer.WriteInt(object.GetNumberC());
    writer.WriteInt(object.GetNumberD());
    WriteObjectText(writer, object, &IPlayObject::GetTextC);
}
