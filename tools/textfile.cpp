// textfile: the Utilities menu's file commands on the host.
//
// textfile unix-dos|dos-unix|uuencode|uudecode FILE...
//
// Outputs go where the programs put them (beside the input); every message
// the program would show is printed, one a line. A question is answered No.
// Exit 0 when the command completed, 1 when it failed or was cancelled, 2 for
// a wrong command line.
#include <cstdio>
#include <cstring>

#include "shell/message_box.h"
#include "shell/message_box_posix.h"
#include "transfer/batch_list.h"
#include "transfer/text_convert.h"
#include "transfer/uucode.h"

static int usage() {
  std::fprintf(stderr, "usage: textfile unix-dos|dos-unix|uuencode|uudecode FILE...\n");
  return 2;
}

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const char* command = argv[1];
  BatchList files;
  for (int i = 2; i < argc; ++i)
    if (batchAdd(files, argv[i]) < 0) {
      std::fprintf(stderr, "textfile: path too long: %s\n", argv[i]);
      return 2;
    }
  messagesClear();
  messageSetAnswer(ANSWER_NO);
  int outcome;
  bool ok;
  if (std::strcmp(command, "unix-dos") == 0 || std::strcmp(command, "dos-unix") == 0) {
    outcome = convertBatch(files, command[0] == 'u');
    ok = outcome == MSG_CONVERSION_COMPLETE;
  } else if (std::strcmp(command, "uuencode") == 0) {
    if (batchCount(files) > 1) return usage();
    outcome = uuencodeCommand(batchCount(files) ? batchPath(files, 0) : "");
    ok = outcome == MSG_ENCODING_COMPLETE;
  } else if (std::strcmp(command, "uudecode") == 0) {
    outcome = uudecodeCommand(files);
    ok = outcome == MSG_DECODING_COMPLETE;
  } else {
    return usage();
  }
  for (const ShownMessage& m : messagesShown()) std::printf("%s\n", m.text.c_str());
  return ok ? 0 : 1;
}
