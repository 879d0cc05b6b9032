#!/usr/bin/env python3
"""Resize storm and 1 MB paste against the real program in a pty.

Usage: bench/pty/terminal_life.py PATH/TO/lumo
Prints: bytes written and time to settle after 100 resizes (each a SIGWINCH)
within a second, the key echo time right after, and the time a 1 MB
bracketed paste takes until the screen is quiet again.
"""
import fcntl, os, pty, select, struct, sys, tempfile, termios, time

def set_size(fd, cols, rows):
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))

def drain(fd, quiet_s, limit_s=30.0):
    """Reads until nothing comes for quiet_s; returns (bytes, seconds to the last byte)."""
    got, start, last = 0, time.monotonic(), time.monotonic()
    while time.monotonic() - start < limit_s:
        r, _, _ = select.select([fd], [], [], quiet_s)
        if not r:
            break
        try:
            data = os.read(fd, 65536)
        except OSError:
            break
        got += len(data)
        last = time.monotonic()
    return got, last - start

def cpu_ms(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000 // os.sysconf("SC_CLK_TCK")

def main():
    lumo = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp()
    with open(os.path.join(work, "t.txt"), "w") as f:
        for i in range(1, 2001):
            f.write("line %d with some words of text in it, as prose has\n" % i)
    pid, fd = pty.fork()
    if pid == 0:
        set_size(0, 80, 25)
        os.chdir(work)
        os.environ.update(TERM="xterm-256color", LUMO_HOME=work + "/state", LANG="C.UTF-8")
        os.execv(lumo, [lumo, "-W", "t.txt"])
    set_size(fd, 80, 25)
    drain(fd, 0.5)
    os.write(fd, b"\x1b[?62;22c")  # the terminal's answer to the query
    drain(fd, 0.3)

    # 100 resizes in a second, output read as it comes.
    total, start = 0, time.monotonic()
    for i in range(100):
        set_size(fd, 81 + i % 50, 25 + i % 10)
        deadline = start + (i + 1) * 0.01
        while time.monotonic() < deadline:
            r, _, _ = select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
            if r:
                try:
                    total += len(os.read(fd, 65536))
                except OSError:
                    print("the editor ended during the storm:", os.waitpid(pid, 0))
                    return
    set_size(fd, 100, 30)
    storm_end = time.monotonic()
    more, settle = drain(fd, 0.2)
    total += more
    print("storm: 100 resizes in %.2f s, %d bytes written, settled %.0f ms after the last"
          % (storm_end - start, total, settle * 1000))
    t0 = time.monotonic()
    os.write(fd, b"x")
    got, echo = drain(fd, 0.1)
    print("key after the storm: %d bytes, echoed in %.1f ms" % (got, echo * 1000))

    # One redraw after one resize.
    set_size(fd, 132, 50)
    got, t = drain(fd, 0.2)
    print("one resize to 132x50: %d bytes, %.1f ms" % (got, t * 1000))

    line = "\u041f\u0440\u0438\u0432\u0435\u0442\tpasted text of a typical line here\r".encode()
    body = line * ((1 << 20) // len(line) + 1)
    payload = b"\x1b[200~" + body + b"\x1b[201~"
    t0 = time.monotonic()
    cpu0 = cpu_ms(pid)
    view = memoryview(payload)
    out = 0
    while view:
        r, w, _ = select.select([fd], [fd], [], 1.0)
        if r:
            out += len(os.read(fd, 65536))
        if w:
            n = os.write(fd, view[:65536])
            view = view[n:]
    got, t = drain(fd, 0.3)
    print("paste of %d bytes (%d lines): screen quiet %.0f ms after the first byte, %d ms CPU in the editor"
          % (len(payload), body.count(b"\r"), (time.monotonic() - t0 - 0.3) * 1000, cpu_ms(pid) - cpu0))
    os.write(fd, b"\x1b")
    drain(fd, 0.3)
    os.write(fd, b"2")  # do not save
    drain(fd, 0.5)
    _, status = os.waitpid(pid, 0)
    print("exit code", os.waitstatus_to_exitcode(status))

main()
