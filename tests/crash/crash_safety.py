#!/usr/bin/env python3
"""Kills the programs that write mail, caches and settings with SIGKILL at
random points and checks after each kill that nothing was lost or left half
written: every mail is there exactly once (or still on the server), every
file reads, and each folder's cache agrees with it once it is opened again.

  crash_safety.py QIMTOOL CRASH_HELPER DOVECOT_SH [--kills N] [--seed S]

The work kinds: `qimtool receive` from a private Dovecot (mail kept on the
server, and deleted there), moving every mail of a folder into another,
renumbering by date, `qimtool cache rebuild` and `update`, settings writes,
and `qimtool archive`. After a kill the same work runs again on what the kill
left, so each check also sees a program start on a crash's leftovers.
"""
import argparse
import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# Starts of a work for one kill that lands, at most (a start may end first).
MAX_ATTEMPTS_PER_KILL = 4


def digest(data):
    return hashlib.sha256(data).hexdigest()


def mail_files(folder):
    """Number -> bytes of the mail files (names of digits only) of a folder."""
    found = {}
    if not os.path.isdir(folder):
        return found
    for name in os.listdir(folder):
        if name.isdigit() and not name.startswith("0"):
            with open(os.path.join(folder, name), "rb") as f:
                found[int(name)] = f.read()
    return found


def make_mail(index, rng, size=None):
    """A small mail with its own subject and date, CR LF lines."""
    day = rng.randint(1, 28)
    body_lines = size if size is not None else rng.randint(5, 60)
    body = "".join("line %d of mail %d %s\r\n" % (i, index, "x" * (i % 50)) for i in range(body_lines))
    return ("From: sender%d@example.jp\r\nTo: taro@example.jp\r\nSubject: mail %d\r\n"
            "Date: Thu, %d Dec 2026 %02d:%02d:00 +0900\r\nMessage-ID: <%d@example.jp>\r\n\r\n%s"
            % (index, index, day, rng.randint(0, 23), rng.randint(0, 59), index, body)).encode()


class Failure(Exception):
    pass


class Work:
    """One kind of work: set up, the command, the checks after a kill and
    after a run that was not killed."""
    name = ""

    def __init__(self, env, rng, root):
        self.env, self.rng, self.root = env, rng, os.path.join(root, self.name)
        self.kills_since_reset = 0

    def run_tool(self, *args, check=True, env=None):
        r = subprocess.run(list(args), stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           env=env or self.env.base, timeout=60)
        if check and r.returncode != 0:
            raise Failure("%s failed (%d): %s" % (" ".join(args), r.returncode, r.stderr.decode(errors="replace")))
        return r

    def command(self):
        raise NotImplementedError

    def command_env(self):
        return self.env.base

    def reset(self):
        raise NotImplementedError

    def after_kill(self):
        raise NotImplementedError

    def after_completion(self):
        raise NotImplementedError

    def write_mail(self, folder, number, data):
        """Writes mail `number` of the folder; returns its digest."""
        with open(os.path.join(folder, str(number)), "wb") as f:
            f.write(data)
        return digest(data)

    # Shared checks.
    def exact_multiset(self, originals, folders):
        seen = []
        for folder in folders:
            seen += [digest(d) for d in mail_files(folder).values()]
        if sorted(seen) != sorted(originals):
            missing = set(originals) - set(seen)
            extra = len(seen) - len(originals)
            raise Failure("mails: %d missing, %d more or less than before in %s" % (len(missing), extra, folders))

    def only_whole_mails(self, originals, folder):
        known = set(originals)
        for number, data in mail_files(folder).items():
            if digest(data) not in known:
                raise Failure("%s/%d is no mail that was sent (%d bytes): written halfway" % (folder, number, len(data)))

    def cache_agrees(self, folder):
        """The next open: the cache brought up to date, then compared."""
        self.run_tool(self.env.qimtool, "cache", "update", folder)
        r = self.run_tool(self.env.helper, "check", folder, check=False)
        if r.returncode != 0:
            raise Failure("the cache of %s does not agree with it: %s" % (folder, r.stderr.decode(errors="replace")))


class ReceiveWork(Work):
    """qimtool receive: the mailbox kept on the server (known ids) or deleted."""

    def __init__(self, env, rng, root, delete):
        self.name = "receive-delete" if delete else "receive-keep"
        self.delete = delete
        super().__init__(env, rng, root)

    def reset(self):
        shutil.rmtree(self.root, ignore_errors=True)
        self.home = os.path.join(self.root, "home")
        os.makedirs(self.home)
        self.env.users += 1
        self.user = "crash%d" % self.env.users
        self.env.dovecot("adduser", self.user)
        self.originals = []
        for i in range(25):
            data = make_mail(i, self.rng, size=self.rng.randint(20, 400))
            path = os.path.join(self.root, "msg")
            with open(path, "wb") as f:
                f.write(data)
            self.env.dovecot("deliver", self.user, path)
            self.originals.append(digest(data))
        with open(os.path.join(self.home, "QIM.INI"), "wb") as f:
            f.write(("[Host]\r\nUserName=%s\r\nMailAddr=taro@example.jp\r\nSMTPAddr=127.0.0.1\r\n"
                     "POP3Addr=127.0.0.1\r\nPOP3Port=%d\r\nClientAddr=localhost\r\n[Qim]\r\nDelMails=%d\r\n"
                     % (self.user, self.env.pop3_port, 1 if self.delete else 0)).encode())

    def command(self):
        return [self.env.qimtool, "receive", "--home", self.home]

    def command_env(self):
        env = dict(self.env.base)
        env["QIM_PASSWORD"] = "secret"
        return env

    def server(self):
        # The server's session of a killed run may still be moving mails from
        # new/ to cur/: cur/ is read after new/, and a mail moved between the
        # listing and the reading makes the whole reading start again.
        box = os.path.join(self.env.dovecot_dir, "mail", self.user)
        for _ in range(50):
            found = []
            try:
                for sub in ("new", "cur"):
                    d = os.path.join(box, sub)
                    for name in os.listdir(d) if os.path.isdir(d) else []:
                        with open(os.path.join(d, name), "rb") as f:
                            found.append(digest(f.read()))
                return found
            except FileNotFoundError:
                time.sleep(0.05)
        raise Failure("the server's mailbox kept changing under the check")

    def check_no_loss(self):
        self.only_whole_mails(self.originals, self.home)
        local = [digest(d) for d in mail_files(self.home).values()]
        present = set(local) | set(self.server())
        missing = [o for o in self.originals if o not in present]
        if missing:
            raise Failure("%d mails neither received nor on the server" % len(missing))
        if self.delete:
            # The server deletes only at QUIT: what a killed run stored comes
            # again with the next run, so a mail may be there once per kill more.
            most = max(local.count(d) for d in set(local)) if local else 0
            if most > self.kills_since_reset + 1:
                raise Failure("a mail stored %d times after %d kills" % (most, self.kills_since_reset))
        else:
            # A kill between storing a mail and recording its id brings it
            # once more: at most one such mail per kill.
            extra = len(local) - len(set(local))
            if extra > self.kills_since_reset:
                raise Failure("%d mails stored twice after %d kills" % (extra, self.kills_since_reset))
        self.cache_agrees(self.home)
        for name in os.listdir(self.home):
            if name.upper().startswith("UIDL") and name.upper().endswith(".TXT"):
                with open(os.path.join(self.home, name), "rb") as f:
                    if not f.read().startswith(b"QimUidl\t"):
                        raise Failure("the file of known ids %s is broken" % name)

    def after_kill(self):
        self.check_no_loss()

    def after_completion(self):
        self.check_no_loss()
        local = set(digest(d) for d in mail_files(self.home).values())
        if set(self.originals) - local:
            raise Failure("a complete receive left mails on the server only")
        if self.delete and self.server():
            raise Failure("a complete receive with deletion left mail on the server")


class MoveWork(Work):
    name = "move"

    def reset(self):
        shutil.rmtree(self.root, ignore_errors=True)
        self.src, self.dst = os.path.join(self.root, "src"), os.path.join(self.root, "dst")
        os.makedirs(self.src)
        os.makedirs(self.dst)
        self.originals = []
        for i in range(1, 41):
            folder, number = (self.src, i) if i <= 35 else (self.dst, i - 35)
            self.originals.append(self.write_mail(folder, number, make_mail(i, self.rng)))
        self.run_tool(self.env.qimtool, "cache", "rebuild", self.src)
        self.run_tool(self.env.qimtool, "cache", "rebuild", self.dst)

    def command(self):
        return [self.env.helper, "move", self.src, self.dst]

    def after_kill(self):
        self.exact_multiset(self.originals, [self.src, self.dst])
        self.cache_agrees(self.src)
        self.cache_agrees(self.dst)

    def after_completion(self):
        self.after_kill()
        if mail_files(self.src):
            raise Failure("a complete move left mails behind")


class RenumberWork(Work):
    name = "renumber"

    def reset(self):
        shutil.rmtree(self.root, ignore_errors=True)
        self.folder = os.path.join(self.root, "box")
        os.makedirs(self.folder)
        self.originals = []
        numbers = sorted(self.rng.sample(range(1, 200), 40))
        for i, n in enumerate(numbers):
            self.originals.append(self.write_mail(self.folder, n, make_mail(i, self.rng)))
        self.run_tool(self.env.qimtool, "cache", "rebuild", self.folder)
        self.mode = self.rng.choice(["renumber", "gaps"])

    def command(self):
        return [self.env.helper, self.mode, self.folder]

    def after_kill(self):
        self.exact_multiset(self.originals, [self.folder])
        self.cache_agrees(self.folder)

    def after_completion(self):
        self.after_kill()
        if sorted(mail_files(self.folder)) != list(range(1, len(self.originals) + 1)):
            raise Failure("a complete renumbering left gaps: %s" % sorted(mail_files(self.folder)))


class CacheWork(Work):
    name = "cache"

    def reset(self):
        shutil.rmtree(self.root, ignore_errors=True)
        self.folder = os.path.join(self.root, "box")
        os.makedirs(self.folder)
        self.originals = []
        for i in range(1, 301):
            self.originals.append(self.write_mail(self.folder, i, make_mail(i, self.rng, size=3)))
        self.mode = self.rng.choice(["rebuild", "update"])
        if self.mode == "update":
            # A cache of the first mails only: the update appends the rest.
            self.run_tool(self.env.qimtool, "cache", "rebuild", self.folder)
            for i in range(101, 301):
                os.rename(os.path.join(self.folder, str(i)), os.path.join(self.root, str(i)))
            self.run_tool(self.env.qimtool, "cache", "rebuild", self.folder)
            for i in range(101, 301):
                os.rename(os.path.join(self.root, str(i)), os.path.join(self.folder, str(i)))

    def command(self):
        return [self.env.qimtool, "cache", self.mode, self.folder]

    def after_kill(self):
        self.exact_multiset(self.originals, [self.folder])
        self.cache_agrees(self.folder)

    def after_completion(self):
        self.after_kill()


class SettingsWork(Work):
    name = "settings"

    def reset(self):
        shutil.rmtree(self.root, ignore_errors=True)
        os.makedirs(self.root)
        self.file = os.path.join(self.root, "QIM.INI")
        with open(self.file, "wb") as f:
            f.write(b"; kept comment\r\n[Other]\r\nName=\x93\xfa\x96\x7b\r\n")
        self.run_tool(self.env.helper, "settings", self.file, "20")

    def command(self):
        return [self.env.helper, "settings", self.file, "100"]

    def after_kill(self):
        r = self.run_tool(self.env.helper, "check-settings", self.file, check=False)
        if r.returncode != 0:
            raise Failure("the settings file does not read back: %s" % r.stderr.decode(errors="replace"))
        with open(self.file, "rb") as f:
            data = f.read()
        if not data.startswith(b"; kept comment\r\n[Other]\r\nName=\x93\xfa\x96\x7b\r\n"):
            raise Failure("the settings file lost what it held before")

    def after_completion(self):
        self.after_kill()


class ArchiveWork(Work):
    name = "archive"

    def reset(self):
        shutil.rmtree(self.root, ignore_errors=True)
        self.home = os.path.join(self.root, "home")
        self.folder = os.path.join(self.home, "box")
        os.makedirs(self.folder)
        self.originals = []
        for i in range(1, 31):
            self.originals.append(self.write_mail(self.folder, i, make_mail(i, self.rng, size=self.rng.randint(10, 200))))
        self.run_tool(self.env.qimtool, "cache", "rebuild", self.folder)
        self.round = 0
        # An archive read once is not read again while it stays the same.
        self.read_archives = {}

    def command(self):
        self.round += 1
        return [self.env.qimtool, "archive", "--home", self.home, "box", "a%d" % self.round]

    def archived(self):
        """Digests of the mails in the readable archives; a broken one fails."""
        found = []
        for name in sorted(os.listdir(self.folder)):
            if not name.upper().endswith(".LZH"):
                continue
            path = os.path.join(self.folder, name)
            st = os.stat(path)
            key = (name, st.st_size, st.st_mtime_ns)
            if key in self.read_archives:
                found += self.read_archives[key]
                continue
            test = subprocess.run(["lha", "t", path], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            if test.returncode != 0:
                raise Failure("the archive %s does not read: %s" % (name, test.stdout.decode(errors="replace")))
            # Our own reader lists it too.
            self.run_tool(self.env.qimtool, "archive", "list", path)
            out = os.path.join(self.root, "unpacked")
            shutil.rmtree(out, ignore_errors=True)
            os.makedirs(out)
            subprocess.run(["lha", "xqw=" + out, path], check=True)
            self.read_archives[key] = [digest(d) for d in mail_files(out).values()]
            found += self.read_archives[key]
        return found

    def after_kill(self):
        in_folder = [digest(d) for d in mail_files(self.folder).values()]
        self.only_whole_mails(self.originals, self.folder)
        present = set(in_folder) | set(self.archived())
        missing = [o for o in self.originals if o not in present]
        if missing:
            raise Failure("%d mails neither in the folder nor in an archive" % len(missing))
        if len(in_folder) != len(set(in_folder)):
            raise Failure("a mail is in the folder twice")
        self.cache_agrees(self.folder)

    def after_completion(self):
        self.after_kill()
        if mail_files(self.folder):
            raise Failure("a complete archive run left mails in the folder")


class Environment:
    def __init__(self, args, root):
        self.qimtool, self.helper, self.dovecot_sh = args.qimtool, args.helper, args.dovecot
        self.base = dict(os.environ)
        self.base.pop("QIMHOME", None)
        self.base["HOME"] = root
        self.base["TMPDIR"] = root
        self.dovecot_dir = os.path.join(root, "dovecot")
        os.makedirs(self.dovecot_dir)
        self.users = 0
        out = self.dovecot("start")
        ports = dict(line.split("=", 1) for line in out.split() if "=" in line)
        self.pop3_port = int(ports["POP3_PORT"])

    def dovecot(self, *args):
        r = subprocess.run(["bash", self.dovecot_sh, args[0], self.dovecot_dir] + list(args[1:]),
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        if r.returncode != 0:
            raise Failure("dovecot.sh %s: %s" % (args[0], r.stderr.decode(errors="replace")))
        return r.stdout.decode()

    def stop(self):
        self.dovecot("stop")


def timed_run(work):
    start = time.monotonic()
    p = subprocess.Popen(work.command(), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=work.command_env())
    _, err = p.communicate(timeout=120)
    if p.returncode != 0:
        raise Failure("%s failed without a kill (%d): %s" % (work.name, p.returncode, err.decode(errors="replace")))
    return time.monotonic() - start


def kill_at_random(work, duration, rng):
    """Starts the work and kills it after a random part of its time. True
    when the kill landed, False when the work ended first; and the time."""
    start = time.monotonic()
    p = subprocess.Popen(work.command(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=work.command_env())
    time.sleep(rng.uniform(0.0, duration))
    landed = p.poll() is None
    if landed:
        p.send_signal(signal.SIGKILL)
    p.wait()
    return landed, time.monotonic() - start


class Schedule:
    """One work kind's kills: the time of a whole run, the kills that landed."""

    def __init__(self, work):
        self.work, self.landed, self.completions, self.duration = work, 0, 0, 0.0
        self.failure = None

    def start(self):
        self.work.reset()
        # The uninterrupted run gives the time the kills are spread over.
        self.duration = timed_run(self.work)
        self.work.after_completion()
        self.fresh()

    def fresh(self):
        self.work.reset()
        self.work.kills_since_reset = 0

    def one_kill(self, rng):
        for _ in range(MAX_ATTEMPTS_PER_KILL):
            landed, elapsed = kill_at_random(self.work, self.duration, rng)
            if landed:
                self.landed += 1
                self.work.kills_since_reset += 1
                self.work.after_kill()
                return
            # The first run may have been slower (cold caches): aim within this one.
            self.duration = min(self.duration, elapsed)
            self.completions += 1
            self.work.after_completion()
            self.fresh()

    def finish(self):
        # What the last kill left, finished by a run that is not killed.
        timed_run(self.work)
        self.work.after_completion()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("qimtool")
    parser.add_argument("helper")
    parser.add_argument("dovecot")
    parser.add_argument("--kills", type=int, default=200)
    parser.add_argument("--budget", type=float, default=170.0, help="seconds for the kills")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--only", default=None, help="one work kind")
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    rng = random.Random(seed)
    print("seed %d (--seed repeats the kill times)" % seed)
    root = tempfile.mkdtemp(prefix="qim-crash-")
    # Dovecot serves the mail as another user, who must reach the mailboxes.
    os.chmod(root, 0o755)
    env = None
    failures = []
    started = time.monotonic()
    try:
        env = Environment(args, root)
        works = [ReceiveWork(env, rng, root, False), ReceiveWork(env, rng, root, True), MoveWork(env, rng, root),
                 RenumberWork(env, rng, root), CacheWork(env, rng, root), SettingsWork(env, rng, root),
                 ArchiveWork(env, rng, root)]
        schedules = [Schedule(w) for w in works if not args.only or w.name == args.only]

        def guarded(schedule, step):
            if schedule.failure:
                return
            try:
                step()
            except Failure as e:
                schedule.failure = "%s (after %d kills): %s" % (schedule.work.name, schedule.landed, e)

        for s in schedules:
            guarded(s, s.start)
        # Round by round over the kinds, so a slow machine cuts each short alike.
        total = 0
        while total < args.kills and time.monotonic() - started < args.budget:
            live = [s for s in schedules if not s.failure]
            if not live:
                break
            for s in live:
                if total >= args.kills:
                    break
                before = s.landed
                guarded(s, lambda: s.one_kill(rng))
                total += s.landed - before
        for s in schedules:
            guarded(s, s.finish)
            print("%-15s %3d kills landed, %2d runs ended first, one run %.2f s"
                  % (s.work.name, s.landed, s.completions, s.duration))
            if s.failure:
                failures.append(s.failure)
        print("%d kills in %.0f s%s" % (total, time.monotonic() - started,
                                        "" if total >= args.kills else " (the time ran out first)"))
    finally:
        if env:
            env.stop()
        if failures:
            print("kept for a look: %s" % root)
        else:
            shutil.rmtree(root, ignore_errors=True)
    for f in failures:
        print("FAILED: " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
