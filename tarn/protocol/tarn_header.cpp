#include "protocol/tarn_header.h"

#include "protocol/tarn_bytes.h"

namespace objscope {

void appendTarnHeader(std::vector<uint8_t>& out, const TarnHeader& header) {
    ByteWriter writer(out);
    writer.u8(header.Status);
    writer.u8(header.Mode);
    writer.u16(header.Dest_Net);
    writer.u16(header.Dest_Dev);
    writer.u16(header.Dest_Obj);
    writer.u16(header.Src_Net);
    writer.u16(header.Src_Dev);
    writer.u16(header.Src_Obj);
}

std::optional<TarnHeader> readTarnHeader(std::span<const uint8_t> data) {
    ByteReader reader(data);
    TarnHeader header{};
    header.Status = reader.u8();
    header.Mode = reader.u8();
    header.Dest_Net = reader.u16();
    header.Dest_Dev = reader.u16();
    header.Dest_Obj = reader.u16();
    header.Src_Net = reader.u16();
    header.Src_Dev = reader.u16();
    header.Src_Obj = reader.u16();
    if (!reader.ok())
        return std::nullopt;
    return header;
}

TarnHeader makeRequestHeader(RequestMode mode, const TarnAddress& target,
                             const TarnAddress& requester) {
    TarnHeader header{};
    header.Status = 0;
    header.Mode = static_cast<uint8_t>(mode);
    header.Dest_Net = target.net;
    header.Dest_Dev = target.dev;
    header.Dest_Obj = target.obj;
    header.Src_Net = requester.net;
    header.Src_Dev = requester.dev;
    header.Src_Obj = requester.obj;
    return header;
}

}  // namespace objscope
