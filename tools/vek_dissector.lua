-- Capture viewer dissector for the VEK datagrams of the installation and the
-- Tarn device messages they carry (object ID 0xFF00).
--
-- Use: wireshark -X lua_script:vek_dissector.lua capture.pcapng
--      tshark -X lua_script:vek_dissector.lua -r capture.pcapng -V
--      tshark -X lua_script:vek_dissector.lua -r capture.pcapng -Y 'tarn.kind == 1024'
-- The message kind names and status texts are in tarn_tables.lua beside this
-- file, generated from the Tarn protocol code that busprobe shows them with.
-- The datagrams are found on UDP ports 3048 and 3049 and, by their "VEK"
-- magic, on any other UDP port.

local vek = Proto("vek", "VEK Network Message")
local vf = vek.fields
vf.magic = ProtoField.string("vek.magic", "Magic")
vf.object_id = ProtoField.uint16("vek.object_id", "Object ID", base.HEX)
vf.message_id = ProtoField.uint16("vek.message_id", "Message ID", base.HEX)
vf.response = ProtoField.bool("vek.response", "Response", 16, nil, 0x8000)
vf.message_code = ProtoField.uint16("vek.message_code", "Message", base.HEX, nil, 0x7FFF)
vf.message_number = ProtoField.uint16("vek.message_number", "Message Number", base.HEX)
vf.data = ProtoField.bytes("vek.data", "Data")

local script_dir = debug.getinfo(1, "S").source:match("^@(.*[/\\])") or ""
local tables = dofile(script_dir .. "tarn_tables.lua")

local tarn = Proto("tarn", "Tarn Device Message")
local tf = tarn.fields
tf.kind = ProtoField.uint16("tarn.kind", "Message Kind", base.DEC, tables.kinds, 0x7FFF)
tf.kind_name = ProtoField.string("tarn.kind_name", "Message Kind Name")
tf.status_value = ProtoField.int32("tarn.status_value", "Status Value", base.DEC, tables.statuses)
tf.status_text = ProtoField.string("tarn.status_text", "Status Text")
tf.property = ProtoField.uint16("tarn.property", "Property ID", base.DEC, nil, 0x3FFF)
tf.status = ProtoField.uint8("tarn.status", "Status", base.DEC)
tf.mode = ProtoField.uint8("tarn.mode", "Mode", base.HEX)
tf.partial = ProtoField.bool("tarn.partial", "More Follows", 8, nil, 0x80)
tf.dest_net = ProtoField.uint16("tarn.dest_net", "Dest Net", base.DEC)
tf.dest_dev = ProtoField.uint16("tarn.dest_dev", "Dest Dev", base.DEC)
tf.dest_obj = ProtoField.uint16("tarn.dest_obj", "Dest Obj", base.DEC)
tf.src_net = ProtoField.uint16("tarn.src_net", "Src Net", base.DEC)
tf.src_dev = ProtoField.uint16("tarn.src_dev", "Src Dev", base.DEC)
tf.src_obj = ProtoField.uint16("tarn.src_obj", "Src Obj", base.DEC)
tf.payload = ProtoField.bytes("tarn.payload", "Payload")

local TARN_OBJECT = 0xFF00
local HEADER = 9
local TARN_HEADER = 14

local TARN_GET = 1
local TARN_SET = 2

-- The status value of a reply: the Status byte, or the Mode byte times 256.
local function status_value(status, mode)
    if status ~= 0 then
        return status
    end
    return mode * 256
end

local function dissect_tarn(buffer, pinfo, tree, message_tvb)
    if buffer:len() < TARN_HEADER then
        return
    end
    local message_id = message_tvb(5, 2):le_uint()
    local code = message_id % 0x8000
    local response = message_id >= 0x8000
    local name = tables.kinds[code] or string.format("Tarn #%d", code)
    local t = tree:add(tarn, buffer(0, TARN_HEADER), "Tarn Device Message: " .. name)
    t:add_le(tf.kind, message_tvb(5, 2))
    t:add(tf.kind_name, name)
    if response then
        local value = status_value(buffer(0, 1):uint(), buffer(1, 1):uint())
        t:add(tf.status_value, buffer(0, 2), value)
        local text = tables.statuses[value] or string.format("Unknown (%d)", value)
        t:add(tf.status_text, text)
        pinfo.cols.info:append(" " .. name .. " " .. text)
    else
        pinfo.cols.info:append(" " .. name)
    end
    if (code == TARN_GET or code == TARN_SET) and buffer:len() >= TARN_HEADER + 2 then
        t:add_le(tf.property, buffer(TARN_HEADER, 2))
    end
    t:add(tf.status, buffer(0, 1))
    t:add(tf.status, buffer(0, 1))
    t:add(tf.mode, buffer(1, 1))
    t:add(tf.partial, buffer(1, 1))
    t:add_le(tf.dest_net, buffer(2, 2))
    t:add_le(tf.dest_dev, buffer(4, 2))
    t:add_le(tf.dest_obj, buffer(6, 2))
    t:add_le(tf.src_net, buffer(8, 2))
    t:add_le(tf.src_dev, buffer(10, 2))
    t:add_le(tf.src_obj, buffer(12, 2))
    if buffer:len() > TARN_HEADER then
        t:add(tf.payload, buffer(TARN_HEADER))
    end
end

local function is_vek(buffer)
    return buffer:len() >= HEADER and buffer(0, 3):string() == "VEK"
end

function vek.dissector(buffer, pinfo, tree)
    if not is_vek(buffer) then
        return 0
    end
    pinfo.cols.protocol = "VEK"
    local object_id = buffer(3, 2):le_uint()
    local message_id = buffer(5, 2):le_uint()
    local number = buffer(7, 2):le_uint()
    local response = message_id >= 0x8000
    local t = tree:add(vek, buffer(), "VEK Network Message")
    t:add(vf.magic, buffer(0, 3))
    t:add_le(vf.object_id, buffer(3, 2))
    t:add_le(vf.message_id, buffer(5, 2))
    t:add_le(vf.response, buffer(5, 2))
    t:add_le(vf.message_code, buffer(5, 2))
    t:add_le(vf.message_number, buffer(7, 2))
    pinfo.cols.info = string.format("Object 0x%04X %s 0x%04X #0x%04X", object_id,
        response and "Response" or "Message", message_id % 0x8000, number)
    if buffer:len() > HEADER then
        local data = buffer(HEADER)
        t:add(vf.data, data)
        if object_id == TARN_OBJECT then
            dissect_tarn(data:tvb(), pinfo, tree, buffer)
        end
    end
    return buffer:len()
end

local function heuristic(buffer, pinfo, tree)
    if not is_vek(buffer) then
        return false
    end
    vek.dissector(buffer, pinfo, tree)
    return true
end

local udp_port = DissectorTable.get("udp.port")
udp_port:add(3048, vek)
udp_port:add(3049, vek)
vek:register_heuristic("udp", heuristic)
