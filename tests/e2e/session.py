"""A desktop for one end-to-end test: a virtual X display, optionally fcitx5 with mozc
on a private D-Bus session, and the program itself, all ended by process id when the
test is over, also when it fails or runs out of time.

Every process started here carries a marker in its environment. Some of them leave
their parent (mozc_server is started by fcitx5 and detaches), so at the end the
harness also ends, by id, every process that still carries this run's marker.
"""

import grp
import os
import pwd
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import uuid
import zlib

SKIP = 77
DEADLINE_SECONDS = 55  # under CTest's TIMEOUT, so that cleanup still runs


class Skipped(Exception):
    pass


class TimedOut(Exception):
    pass


def require_tools(*names):
    missing = [name for name in names if (shutil.which(name) if "/" not in name else
                                          (name if os.access(name, os.X_OK) else None)) is None]
    if missing:
        raise Skipped("missing: " + ", ".join(missing))


def unprivileged_user():
    """(uid, gid) to run the desktop as, or None when we are not root (then as ourselves).
    mozc_server refuses to run as root."""
    if os.geteuid() != 0:
        return None
    try:
        user = pwd.getpwnam("nobody")
    except KeyError:
        raise Skipped("running as root and there is no user 'nobody'")
    try:
        gid = grp.getgrnam("nogroup").gr_gid
    except KeyError:
        gid = user.pw_gid
    probe = subprocess.run(["setpriv", f"--reuid={user.pw_uid}", f"--regid={gid}", "--clear-groups", "true"],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if probe.returncode != 0:
        raise Skipped("setpriv cannot switch to the user 'nobody' here")
    return user.pw_uid, gid


def run_test(main):
    """Runs main() under a deadline; maps Skipped to CTest's skip code."""
    def on_alarm(signum, frame):
        raise TimedOut(f"the test did not finish within {DEADLINE_SECONDS} s")

    def on_term(signum, frame):
        raise TimedOut("stopped by signal %d" % signum)

    signal.signal(signal.SIGALRM, on_alarm)
    signal.signal(signal.SIGTERM, on_term)
    signal.alarm(DEADLINE_SECONDS)
    try:
        main()
    except Skipped as reason:
        print(f"SKIPPED: {reason}")
        sys.exit(SKIP)
    finally:
        signal.alarm(0)


def process_state(pid):
    """The state letter of /proc/PID/stat (Z for a zombie), or None when there is no such process."""
    try:
        with open(f"/proc/{pid}/stat") as source:
            return source.read().rsplit(")", 1)[1].split()[0]
    except OSError:
        return None


def parent_of(pid):
    try:
        with open(f"/proc/{pid}/stat") as source:
            return int(source.read().rsplit(")", 1)[1].split()[1])
    except OSError:
        return None


def read_text(path):
    """The file's text, or "" while it does not exist."""
    try:
        with open(path, "rb") as source:
            return source.read().decode(errors="replace")
    except FileNotFoundError:
        return ""


def wait_for(what, probe, timeout=10.0, interval=0.05):
    """Polls probe() until it returns something true, and returns that."""
    end = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(interval)


class Screenshot:
    """The screen as RGB rows, read from the frame buffer Xvfb keeps as an XWD file."""

    def __init__(self, xwd_path):
        with open(xwd_path, "rb") as source:
            data = source.read()
        header = struct.unpack(">25I", data[:100])
        header_size, width, height = header[0], header[4], header[5]
        byte_order, bits_per_pixel, bytes_per_line, colours = header[7], header[11], header[12], header[19]
        if bits_per_pixel != 32 or byte_order != 0:
            raise AssertionError(f"unexpected frame buffer layout: {bits_per_pixel} bpp, byte order {byte_order}")
        start = header_size + colours * 12
        self.width, self.height = width, height
        self.rows = []
        for y in range(height):
            pixels = data[start + y * bytes_per_line:start + y * bytes_per_line + width * 4]
            rgb = bytearray(width * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = pixels[2::4], pixels[1::4], pixels[0::4]
            self.rows.append(bytes(rgb))

    def bounds_of(self, colour, area=None):
        """The smallest (left, top, right, bottom) holding every pixel of that colour, ends
        exclusive, or None."""
        left, top, right, bottom = area or (0, 0, self.width, self.height)
        wanted = bytes(colour)
        found = None
        for y in range(top, bottom):
            row = self.rows[y]
            xs = [x for x in range(left, right) if row[3 * x:3 * x + 3] == wanted]
            if not xs:
                continue
            if found is None:
                found = [xs[0], y, xs[-1] + 1, y + 1]
            else:
                found = [min(found[0], xs[0]), found[1], max(found[2], xs[-1] + 1), y + 1]
        return tuple(found) if found else None

    def save_png(self, path):
        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

        raw = b"".join(b"\x00" + row for row in self.rows)
        with open(path, "wb") as target:
            target.write(b"\x89PNG\r\n\x1a\n" +
                         chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)) +
                         chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


class Session:
    """Used as a context: on the way out everything started is ended, and on a failure the
    screen is first kept as failure_picture."""

    def __init__(self, user, failure_picture):
        self.user = user  # (uid, gid) or None
        self.failure_picture = failure_picture
        self.marker = "PLOMARET_E2E_RUN=" + uuid.uuid4().hex
        self.processes = []
        self.scratch = tempfile.mkdtemp(prefix="plomaret-e2e-")
        os.chmod(self.scratch, 0o755)
        self.home = self.mkdir("home")
        self.runtime = self.mkdir("home/runtime", mode=0o700)
        self.mkdir("home/.config")
        self.display = None
        self.display_process = None
        self.bus = None
        self.frame_buffer = None

    def __enter__(self):
        return self

    def __exit__(self, failure, error, trace):
        try:
            if failure is not None and not issubclass(failure, Skipped):
                self.keep_screen(self.failure_picture)
        finally:
            self.close()

    # ---- Files owned by the desktop's user ----

    def mkdir(self, relative, mode=0o755):
        path = os.path.join(self.scratch, relative)
        os.makedirs(path, exist_ok=True)
        os.chmod(path, mode)
        self.give(path)
        return path

    def write(self, relative, text):
        path = os.path.join(self.scratch, relative)
        with open(path, "w", encoding="utf-8") as target:
            target.write(text)
        self.give(path)
        return path

    def give(self, path):
        if self.user is not None:
            os.chown(path, *self.user)

    # ---- Processes ----

    def environment(self, **extra):
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.home,
            "XDG_RUNTIME_DIR": self.runtime,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "LANG": "C.UTF-8",
        }
        for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
            if name in os.environ:
                env[name] = os.environ[name]
        if self.display is not None:
            env["DISPLAY"] = self.display
        if self.bus is not None:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus
        env.update(extra)
        name, value = self.marker.split("=", 1)
        env[name] = value
        return env

    def command(self, argv, as_user=True):
        if as_user and self.user is not None:
            uid, gid = self.user
            return ["setpriv", f"--reuid={uid}", f"--regid={gid}", "--clear-groups", *argv]
        return list(argv)

    def start(self, name, argv, as_user=True, env=None, **options):
        log = open(os.path.join(self.scratch, name + ".log"), "wb")
        options.setdefault("stdout", log)
        options.setdefault("stderr", subprocess.STDOUT)
        process = subprocess.Popen(self.command(argv, as_user), env=env or self.environment(),
                                   stdin=subprocess.DEVNULL, cwd=self.home, **options)
        log.close()
        self.processes.append(process)
        return process

    def run(self, argv, as_user=True, check=True, timeout=10):
        result = subprocess.run(self.command(argv, as_user), env=self.environment(), cwd=self.home,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
        if check and result.returncode != 0:
            problem = result.stderr.decode(errors="replace")
            raise AssertionError(f"{' '.join(argv)} failed ({result.returncode}): {problem}")
        return result

    def runnable(self, program):
        """The program's path, or a copy in the scratch folder when the desktop's user cannot
        reach the build folder."""
        if self.run(["test", "-x", program], check=False).returncode == 0:
            return program
        copy = os.path.join(self.mkdir("bin"), os.path.basename(program))
        shutil.copy2(program, copy)
        os.chmod(copy, 0o755)
        return copy

    def log_of(self, name):
        return read_text(os.path.join(self.scratch, name + ".log"))

    def marked_processes(self):
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                with open(f"/proc/{entry}/environ", "rb") as source:
                    if self.marker.encode() in source.read().split(b"\0"):
                        found.append(int(entry))
            except OSError:
                continue
        return found

    def end_processes(self, pids, grace=3.0):
        """SIGTERM, then SIGKILL for those still there after the grace time."""
        for signum in (signal.SIGTERM, signal.SIGKILL):
            for pid in pids:
                try:
                    os.kill(pid, signum)
                except ProcessLookupError:
                    pass
            end = time.monotonic() + grace
            while time.monotonic() < end and any(self.alive(pid) for pid in pids):
                time.sleep(0.05)

    def alive(self, pid):
        for process in self.processes:
            if process.pid == pid:
                return process.poll() is None  # reaps it
        return process_state(pid) not in (None, "Z")

    def close(self):
        # Nothing may stop the cleanup half-way: neither the deadline nor CTest's SIGTERM.
        signal.alarm(0)
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
        # Leaves first, so that a parent of ours (dbus-run-session) sees its child end and
        # ends in order; the display last, so that nothing dies of a lost display meanwhile.
        display = self.display_process.pid if self.display_process is not None else None
        for _ in range(5):
            left = [pid for pid in self.marked_processes() if pid != display]
            if not left:
                break
            parents = {parent_of(pid) for pid in left}
            self.end_processes([pid for pid in left if pid not in parents] or left)
        if display is not None:
            self.end_processes([display])
        for process in self.processes:
            process.wait()
        left = self.marked_processes()
        shutil.rmtree(self.scratch, ignore_errors=True)
        if left:
            raise AssertionError(f"processes left behind: {left}")

    # ---- The display ----

    def start_display(self, width=1024, height=768):
        frame_buffer = self.mkdir("framebuffer")
        reader, writer = os.pipe()
        self.display_process = self.start(
            "xvfb", ["Xvfb", "-displayfd", str(writer), "-screen", "0", f"{width}x{height}x24", "-fbdir", frame_buffer,
                     "-nolisten", "tcp", "-noreset"], as_user=False, pass_fds=(writer,))
        os.close(writer)
        number = b""
        end = time.monotonic() + 10
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([reader], [], [], max(0.0, end - time.monotonic()))
            if not ready:
                raise AssertionError("Xvfb did not report its display: " + self.log_of("xvfb"))
            chunk = os.read(reader, 16)
            if not chunk:
                raise AssertionError("Xvfb ended: " + self.log_of("xvfb"))
            number += chunk
        os.close(reader)
        self.display = ":" + number.decode().strip()
        self.frame_buffer = os.path.join(frame_buffer, "Xvfb_screen0")

    def screenshot(self):
        return Screenshot(self.frame_buffer)

    def keep_screen(self, path):
        """Saves the screen as it is, for a failure's report."""
        if self.frame_buffer is not None and os.path.exists(self.frame_buffer):
            self.screenshot().save_png(path)
            print(f"the screen is in {path}")

    def xdotool(self, *arguments):
        return self.run(["xdotool", *map(str, arguments)], as_user=False).stdout.decode()

    # ---- The input method ----

    def start_input_method(self):
        self.mkdir("home/.config/fcitx5")
        self.write("home/.config/fcitx5/profile", FCITX_PROFILE)
        # The bus's address is only known inside dbus-run-session: the shell hands it out.
        address_file = os.path.join(self.home, "bus-address")
        script = f'echo "$DBUS_SESSION_BUS_ADDRESS" > {address_file}.new && mv {address_file}.new {address_file} && ' \
                 f'exec fcitx5 --disable={",".join(FCITX_UNUSED_ADDONS)}'
        self.start("fcitx5", ["dbus-run-session", "--", "sh", "-c", script])
        self.bus = wait_for("the D-Bus session", lambda: read_text(address_file).strip())
        # A call before fcitx5 owns its name would make the bus start a second fcitx5.
        wait_for("fcitx5 on the bus", lambda: b"true" in self.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
             "org.freedesktop.DBus.NameHasOwner", "string:org.fcitx.Fcitx5"], check=False).stdout, timeout=20)

    def input_method_state(self):
        return int(self.run(["fcitx5-remote"]).stdout.decode().strip() or -1)

    # fcitx5-remote acts on the focused input context, which the program announces over
    # D-Bus on its own time after it takes the focus: ask until it is done.
    def input_method_on(self):
        wait_for("the input method to turn on",
                 lambda: self.run(["fcitx5-remote", "-o"]) and self.input_method_state() == 2, interval=0.1)

    def input_method_off(self):
        wait_for("the input method to turn off",
                 lambda: self.run(["fcitx5-remote", "-c"]) and self.input_method_state() == 1, interval=0.1)


class InputMethodMonitor:
    """What fcitx5 tells the program over D-Bus, as dbus-monitor prints it: each preedit
    with its clauses (and which one is being converted), and each commit."""

    HIGHLIGHT = 1 << 4  # fcitx5's format flag of the clause being converted

    def __init__(self, session):
        self.session = session
        session.start("monitor", ["dbus-monitor", "--session", "interface=org.fcitx.Fcitx.InputContext1"])
        wait_for("dbus-monitor to listen", lambda: "NameAcquired" in session.log_of("monitor"))

    def messages(self, member):
        """Each signal named member, as the list of its strings and integers."""
        found = []
        values = None
        for line in self.session.log_of("monitor").splitlines():
            if not line.startswith(" "):  # a message's head; its arguments follow indented
                values = [] if line.startswith("signal ") and f"member={member}" in line else None
                if values is not None:
                    found.append(values)
                continue
            kind, _, value = line.strip().partition(" ")
            if values is not None and kind == "string":
                values.append(value[1:-1])
            elif values is not None and kind == "int32":
                values.append(int(value))
        return found

    def preedits(self):
        """Each preedit shown, as its clauses: [(text, format flags), ...]."""
        shown = []
        for values in self.messages("UpdateFormattedPreedit"):
            clauses = []
            while len(values) >= 2 and isinstance(values[0], str):
                clauses.append((values[0], values[1]))
                values = values[2:]
            shown.append(clauses)
        return shown

    def commits(self):
        return [values[0] for values in self.messages("CommitString")]


FCITX_PROFILE = """[Groups/0]
Name=Default
Default Layout=us
DefaultIM=mozc

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=mozc
Layout=

[GroupOrder]
0=Default
"""

# Nothing here has a tray, a notification daemon, Wayland or another program's
# clipboard to watch; these would only add noise and start-up time.
FCITX_UNUSED_ADDONS = ["wayland", "waylandim", "kimpanel", "notificationitem", "notifications", "clipboard",
                       "fcitx4frontend", "ibusfrontend", "xim", "quickphrase", "cloudpinyin", "emoji", "unicode"]
