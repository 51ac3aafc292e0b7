#!/usr/bin/env python3
"""Far ends for the Windows serial tests: two pseudo-terminals, one whose
far end reads and drops everything, one whose far end never reads (a sign
that stopped listening). Prints the two device paths on one line, then
holds both until its standard input closes."""
import os
import sys
import threading


def drain(master):
    try:
        while os.read(master, 65536):
            pass
    except OSError:
        pass


reading_master, reading_slave = os.openpty()
stalled_master, stalled_slave = os.openpty()
threading.Thread(target=drain, args=(reading_master,), daemon=True).start()
print(os.ttyname(reading_slave), os.ttyname(stalled_slave), flush=True)
# Our own slave ends stay open: a sender that opens and closes the port for
# every packet must not hang up the far end between packets.
sys.stdin.read()
