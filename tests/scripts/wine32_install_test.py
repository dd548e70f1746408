#!/usr/bin/env python3
"""Scenarios of scripts/wine32-install.py's planning against a made-up machine:
dpkg's installed packages, apt's version tables and apt-get's simulations are
canned answers, so that no package is touched. Exit status 0 when every check
holds; each failed check prints one line."""
import importlib.machinery
import os
import re
import sys
import tempfile
import types

HERE = os.path.dirname(os.path.abspath(__file__))
loader = importlib.machinery.SourceFileLoader(
    "wine32_install", os.path.join(HERE, "..", "..", "scripts", "wine32-install.py"))
tool = types.ModuleType(loader.name)
loader.exec_module(tool)

FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAILED:", what)


class Answer:
    def __init__(self, stdout, returncode=0):
        self.stdout, self.stderr, self.returncode = stdout, "", returncode


class Machine:
    """installed: {(name, arch): (version, multiarch, source)};
    lists: {(name, arch): (candidate, [versions, newest first])};
    simulate(pins) -> apt-get -s output (or output and exit status) for the
    pins the script wrote."""

    def __init__(self, installed, closure, lists, simulate):
        self.installed, self.closure, self.lists, self.simulate_with = installed, closure, lists, simulate
        self.simulations = 0
        self.preferences = None

    def policy(self, qualified_names):
        text = ""
        for qualified in qualified_names:
            name, arch = qualified.rsplit(":", 1)
            candidate, versions = self.lists.get((name, arch), (None, []))
            text += "%s:\n  Installed: (none)\n  Candidate: %s\n  Version table:\n" % (
                name if arch == "amd64" else qualified, candidate or "(none)")
            for version in versions:
                text += "     %s 500\n        500 file:/srv/mirror stable/main %s Packages\n" % (version, arch)
            mine = self.installed.get((name, arch))
            if mine and mine[0] not in versions:
                text += " *** %s 100\n        100 /var/lib/dpkg/status\n" % mine[0]
        return text

    def pins(self):
        text = open(self.preferences).read() if self.preferences else ""
        return dict(re.findall(r"Package: (\S+):any\nPin: version (\S+)\n", text))

    def __call__(self, args, deadline, env=None):
        for option in args:
            if option.startswith("Dir::Etc::Preferences="):
                self.preferences = option.split("=", 1)[1]
        if args[0] == "dpkg-query":
            return Answer("".join("%s\t%s\t%s\t%s\t%s\tii \n" % (n, a, v, m, s)
                                  for (n, a), (v, m, s) in self.installed.items()))
        if "depends" in args:
            return Answer("".join(name + "\n  Depends: x\n" for name in self.closure))
        if "policy" in args:
            return Answer(self.policy(args[args.index("policy") + 1:]))
        if "-s" in args:
            self.simulations += 1
            answer = self.simulate_with(self.pins())
            return Answer(*answer) if isinstance(answer, tuple) else Answer(answer)
        raise AssertionError("unexpected command %s" % args)


def plan_on(machine):
    tool.run = machine
    with tempfile.TemporaryDirectory() as folder:
        installed = tool.Installed(tool.Deadline(60))
        planner = tool.Planner(installed, tool.Deadline(60), folder)
        try:
            return planner.plan(), planner.all_pins(), None
        except tool.Refused as why:
            return None, planner.all_pins(), str(why)


SSL = ["3.0.22-1~deb12u2", "3.0.20-1~deb12u2", "3.0.17-1~deb12u2"]
INSTALLED = {
    ("libssl3", "amd64"): ("3.0.19-1~deb12u2", "same", "openssl"),
    ("libssl-dev", "amd64"): ("3.0.19-1~deb12u2", "same", "openssl"),
    ("openssl", "amd64"): ("3.0.19-1~deb12u2", "foreign", "openssl"),
    ("zlib1g", "amd64"): ("1:1.2.13.dfsg-1", "same", "zlib"),
    ("libgst0", "amd64"): ("1.22.0-3+deb12u7", "same", "gst-plugins-base1.0"),
    ("libwine", "amd64"): ("8.0~repack-4", "same", "wine"),
    ("libok1", "amd64"): ("2.0-1", "same", "ok"),
    ("python3-dev", "amd64"): ("3.11.2-1+b1", "same", "python3-defaults"),
}
LISTS = {
    ("libssl3", "amd64"): (SSL[0], SSL),
    ("libssl3", "i386"): (SSL[1], SSL[1:]),
    ("libssl-dev", "amd64"): (SSL[0], SSL),
    ("zlib1g", "amd64"): ("1:1.2.13.dfsg-1+deb12u1", ["1:1.2.13.dfsg-1+deb12u1", "1:1.2.13.dfsg-1"]),
    ("zlib1g", "i386"): ("1:1.2.13.dfsg-1+deb12u2",
                          ["1:1.2.13.dfsg-1+deb12u2", "1:1.2.13.dfsg-1+deb12u1", "1:1.2.13.dfsg-1"]),
    ("libgst0", "amd64"): ("1.22.0-3+deb12u7", ["1.22.0-3+deb12u7", "1.22.0-3+deb12u6"]),
    ("libgst0", "i386"): ("1.22.0-3+deb12u6", ["1.22.0-3+deb12u6"]),
    ("libwine", "amd64"): ("8.0~repack-4", ["8.0~repack-4"]),
    ("libwine", "i386"): ("8.0~repack-4", ["8.0~repack-4"]),
    ("libok1", "amd64"): ("2.0-1", ["2.0-1"]),
    ("libok1", "i386"): ("2.0-1", ["2.0-1"]),
    ("libnew1", "i386"): ("1.0-1", ["1.0-1"]),
}
CLOSURE = ["wine32:i386", "libwine:i386", "libssl3:i386", "zlib1g:i386", "libgst0:i386",
           "libok1:i386", "libnew1:i386", "debconf", "<debconf-2.0>"]


def skewed_mirror(pins):
    """apt's answer: libssl-dev needs libssl3 at its own version, so it goes
    (and python3-dev with it) unless it is pinned beside libssl3."""
    lines = ["Inst libssl3 [3.0.19-1~deb12u2] (%s Debian:12 [amd64]) []" % pins.get("libssl3"),
             "Inst libssl3:i386 (%s Debian:12 [i386])" % pins.get("libssl3"),
             "Inst zlib1g:i386 (%s Debian:12 [i386])" % pins.get("zlib1g"),
             "Inst libgst0 [1.22.0-3+deb12u7] (%s Debian:12 [amd64])" % pins.get("libgst0"),
             "Inst libnew1:i386 (1.0-1 Debian:12 [i386])",
             "Inst wine32:i386 (8.0~repack-4 Debian:12 [i386])",
             "Conf wine32:i386 (8.0~repack-4 Debian:12 [i386])"]
    if pins.get("libssl-dev") == SSL[1]:
        lines.insert(0, "Inst libssl-dev [3.0.19-1~deb12u2] (%s Debian:12 [amd64]) []" % SSL[1])
    else:
        lines[:0] = ["Remv python3-dev [3.11.2-1+b1]", "Remv libssl-dev [3.0.19-1~deb12u2]"]
    return "\n".join(lines) + "\n"


def with_lines(extra):
    return lambda pins: extra + skewed_mirror(pins)


def scenario_skewed_mirror_gets_one_version_per_library():
    machine = Machine(INSTALLED, CLOSURE, LISTS, skewed_mirror)
    plan, pins, refused = plan_on(machine)
    check(refused is None, "a skewed mirror has a plan (refused: %s)" % refused)
    check(pins.get("libssl3") == SSL[1],
          "libssl3 takes the newest version both lists have, not amd64's candidate: %s" % pins.get("libssl3"))
    check(pins.get("zlib1g") == "1:1.2.13.dfsg-1",
          "zlib1g keeps the installed amd64 version the i386 lists have: %s" % pins.get("zlib1g"))
    check(pins.get("libgst0") == "1.22.0-3+deb12u6",
          "libgst0 moves down to the one version both lists have: %s" % pins.get("libgst0"))
    check(pins.get("libssl-dev") == SSL[1],
          "the sibling apt would remove is pinned to libssl3's version: %s" % pins.get("libssl-dev"))
    check("libok1" not in pins and "libnew1" not in pins and "libwine" not in pins and "openssl" not in pins,
          "only the libraries whose versions disagree are pinned: %s" % sorted(pins))
    check(machine.simulations == 2, "one round for the sibling: %d simulations" % machine.simulations)
    check(plan and all(action != "Remv" for action, *_ in plan), "the plan removes nothing")
    check(plan and ("Inst", "libssl3", "i386", None, SSL[1]) in plan and
          ("Inst", "libssl3", None, "3.0.19-1~deb12u2", SSL[1]) in plan,
          "plan lines are read with their architecture and versions: %s" % (plan or [])[:3])


def scenario_unsafe_plans_are_refused():
    def refusal(machine):
        plan, _, refused = plan_on(machine)
        check(plan is None, "an unsafe plan is refused")
        return refused or ""

    lists = dict(LISTS)
    lists[("libgst0", "i386")] = ("1.24.0-1", ["1.24.0-1"])
    why = refusal(Machine(INSTALLED, CLOSURE, lists, skewed_mirror))
    check(why.startswith("libgst0 has no version in both") and "1.24.0-1" in why,
          "a library without a common version is named with both lists: %s" % why)

    always_removes = with_lines("Remv python3-dev [3.11.2-1+b1]\n")
    why = refusal(Machine(INSTALLED, CLOSURE, LISTS, always_removes))
    check("would remove python3-dev 3.11.2-1+b1" in why, "a removal apt keeps is refused: %s" % why)

    unrelated = with_lines("Inst openssl [3.0.19-1~deb12u2] (3.0.22-1~deb12u2 Debian:12 [amd64])\n")
    why = refusal(Machine(INSTALLED, CLOSURE, LISTS, unrelated))
    check("would change openssl 3.0.19-1~deb12u2 to 3.0.22-1~deb12u2" in why,
          "a package moved away from its library's version is refused: %s" % why)

    outside = with_lines("Inst libextra1:i386 (1.0 Debian:12 [i386])\n")
    why = refusal(Machine(INSTALLED, CLOSURE, LISTS, outside))
    check("would install libextra1:i386, outside" in why, "a new package outside the closure is refused: %s" % why)

    unmet = " libwine:i386 : Depends: libgst0:i386 (>= 1.0.0) but it is not going to be installed\n"
    why = refusal(Machine(INSTALLED, CLOSURE, LISTS, lambda pins: (unmet, 100)))
    check("libwine:i386 : Depends: libgst0:i386" in why, "apt's first unmet dependency is the reason: %s" % why)


if __name__ == "__main__":
    scenario_skewed_mirror_gets_one_version_per_library()
    scenario_unsafe_plans_are_refused()
    print("%d failed checks" % len(FAILURES) if FAILURES else "all checks passed")
    sys.exit(1 if FAILURES else 0)
