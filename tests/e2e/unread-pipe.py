#!/usr/bin/env python3
"""Runs a command with its standard output into a pipe that is full before it starts and that
nobody reads, as a console that stalls. Prints "exit <code>" when the command ends within the
given seconds, else "still running after <seconds> s" (and kills it).

usage: unread-pipe.py <seconds> <command> [<argument>...]
"""
import fcntl
import os
import subprocess
import sys


def full_pipe():
    read_end, write_end = os.pipe()
    flags = fcntl.fcntl(write_end, fcntl.F_GETFL)
    fcntl.fcntl(write_end, fcntl.F_SETFL, flags | os.O_NONBLOCK)
    # Large writes until one does not fit, then single bytes for the last gap.
    for chunk in (b"x" * 4096, b"x"):
        try:
            while True:
                os.write(write_end, chunk)
        except BlockingIOError:
            pass
    fcntl.fcntl(write_end, fcntl.F_SETFL, flags)
    return read_end, write_end


def main():
    seconds = float(sys.argv[1])
    read_end, write_end = full_pipe()  # the read end stays open, unread, until the end
    process = subprocess.Popen(sys.argv[2:], stdout=write_end)
    os.close(write_end)
    try:
        print(f"exit {process.wait(timeout=seconds)}")
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        print(f"still running after {seconds:g} s")
    os.close(read_end)


if __name__ == "__main__":
    main()
