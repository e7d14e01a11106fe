// Result codes and window messages shared by the serial device, the three engines and
// their callers. Codes below 0x10000 are device-level, from 0x10000 protocol-level.
#pragma once

enum SeriloxResult {
    ERR_SUCCESS = 0,
    ERR_DEVICE = 0x1000,
    ERR_WRITE = 0x1010,
    ERR_READ_TIMEOUT = 0x1020,
    ERR_ALREADY_OPEN = 0x1080,
    ERR_COMM_STATE = 0x2000,
    ERR_NO_ACK = 0x10000,
    ERR_NO_REPLY = 0x10010,
    ERR_CHECKSUM = 0x10040,
};

enum SeriloxMessage {
    UM_PACKET_RECEIVED = 0x1400,
    UM_PACKET_ERROR = 0x1401,
    UM_PACKET_SENT = 0x2400,
    UM_ACK_RECEIVED = 0x4400,
    UM_ACK_SENT = 0x4404,
    UM_NAK_RECEIVED = 0x8400,
    UM_NAK_SENT = 0x8408,
};

// wParam of every engine message: which engine posted it.
enum SeriloxSource {
    SOURCE_LEVEL4 = 0x10001,
    SOURCE_LEVEL5 = 0x10002,
    SOURCE_ASIC = 0x10004,
};

enum : unsigned char {
    ZELQ_ACK = 0x06,
    ZELQ_NAK = 0x15,
};
