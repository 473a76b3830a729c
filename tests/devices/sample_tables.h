#pragma once
// The sample parameter tables the reader and window tests share: an I2C and an SPI table
// with one row of every kind of part the device windows treat apart.
#include <QString>

inline const QString kI2CSample =
    "Part,Description,Channels,Taps,Bus Adr,ACR Adr,ACR Value,GP Regs,Spare 8,Spare 9,Spare 10,Spare 11,Reg Size,Data Size,Note\n"
    "ZN3710,\"ZN3710, I2C, Single Channel, 128 Tap QPOT\",1,128,50,2,C0,NA,,,,,1,1,\n"
    "ZN3750,\"ZN3750, I2C, Four Channel, 256 Tap QPOT\",4,256,A0,10,C0,3-7,,,,,1,1,\n"
    "K4736B,\"K4736, I2C, Four Channel, 64 Tap, Banked\",4,64,5E,8,0,NA,,,,,1,1,\n"
    "K6627A,\"K6627/8, I2C, Single Channel, 1024 Tap\",1,1024,50,NA,0,NA,,,,,1,2,\n"
    "K4744A,\"K4744/5, I2C, Quad, 256 Tap\",4,256,58,NA,0,NA,,,,,1,2,\n"
    "ODD01,\"Odd row, 512 taps, 3 channels\",3,512,52,02,40,A,,,,,1,1,\n"
    "END\n";

inline const QString kSPISample =
    "Part,Description,Channels,Taps,ID,ACR Wr,ACR Val,ACR Rd,GP Wr,GP Rd,Wiper Wr,Wiper Rd,Spare 12,Spare 13,Wr Count,Rd Count,Spare 16,Spare 17,Note\n"
    "ZN3930,\"ZN3930, SPI, Four Channel, 128 Tap QPOT\",4,128,50,C8,C0,B8,C4,B4,C0,B0,,,3,3,,,\n"
    "ZN3920,\"ZN3920, SPI, Four Channel, 256 Tap QPOT\",4,256,NA,60,C0,20,C4,84,C0,80,,,2,4,,,\n"
    "K6623A,\"K6623/4, SPI, Single Channel, 1024 Tap\",1,1024,50,NA,0,NA,NA,NA,A0,80,,,4,4,,,\n"
    "K4731A,\"K4731/2, SPI, Quad, 256 Tap\",4,256,50,NA,0,NA,NA,NA,C0,80,,,3,3,,,\n"
    "END\n";
