// XMODEM with checksum, CRC-16 or 1K blocks.
#pragma once

// Receive step of protocols 1 to 3 on the current TransferState: appends
// accepted blocks to localPath. See StepResult.
int xmodemReceiveStep();
// Sends localPath; the check follows the receiver's start signal. 0 or a code.
int xmodemSend();

// Padding of a last block that the file does not fill: ^Z, the end-of-file
// mark XMODEM receivers strip from text, where zero bytes would pass as data.
constexpr unsigned char XMODEM_PAD = 0x1A;

// Shared by the XMODEM and YMODEM senders: sends the file at localPath from
// byteCount on in blocks of blockSize (numbers from 1), each acknowledged.
// 0 when the file is done (EOT not sent yet) or a negative code.
int sendAcknowledgedBlocks(int blockSize, bool crc);
// Reads and drops replies that wait before a new frame: 0, or -10 when two CANs were among them.
int dropStaleReplies();
// Sends one frame already in sendFrame until it is acknowledged. 0 or a code.
int sendUntilAcknowledged(int frameLength);
