#!/usr/bin/env python3
"""Installs Debian's 32-bit Wine (wine32:i386) beside the 64-bit one, also when
the mirror's amd64 and i386 package lists disagree.

A Multi-Arch "same" library must have one version in both architectures. A
mirror whose i386 security index failed its size check (or is mid-sync) offers
other default versions for i386 than for amd64, and apt's resolver then gives
up on the plain install. This script pins every such library that the 32-bit
Wine pulls in, in both architectures, to one version: the amd64 version already
installed when the i386 lists have it, otherwise the newest version both lists
have (which changes the amd64 library). The pins live in a preferences file in
a temporary folder of the script's own, read by apt for this install only.

Every plan is simulated first, in at most ROUNDS rounds. An installed package
built from the same source as a changed library, with an exact-version
dependency on it (libssl-dev beside libssl3, curl beside libcurl4), shows up
in the simulation as one to remove or to move to another version: the next
round pins it to the library's version. A plan that still removes a package,
or changes one that is neither a pinned library nor such a sibling, is refused.

Usage: wine32-install.py [--dry-run] [--verbose]
Exit status 0 when wine32:i386 is installed (or already was, in which case
nothing is done); otherwise 1, with one line on stderr saying why. Quiet
unless it fails; --verbose prints the plan, --dry-run stops after simulating.
"""
import os
import re
import subprocess
import sys
import tempfile
import time

TARGET = "wine32:i386"
ROUNDS = 6
# The whole planning phase; the install itself is bounded by apt's network
# time-outs (dpkg is never interrupted, that would leave packages half set up).
PLAN_SECONDS = 150
APT_NETWORK_OPTIONS = ["-o", "Acquire::http::Timeout=30", "-o", "Acquire::Retries=2"]


class Refused(Exception):
    """The reason, in one line, why no safe plan exists."""


class Deadline:
    def __init__(self, seconds):
        self.end = time.monotonic() + seconds

    def left(self):
        left = self.end - time.monotonic()
        if left <= 0:
            raise Refused("planning took longer than %d s" % PLAN_SECONDS)
        return left


def run(args, deadline, env=None):
    try:
        return subprocess.run(args, capture_output=True, text=True, env=env, timeout=deadline.left())
    except subprocess.TimeoutExpired:
        raise Refused("%s took longer than the time left for planning" % " ".join(args[:2]))


class Installed:
    """dpkg's installed packages: (name, arch) -> version, Multi-Arch, source."""

    def __init__(self, deadline):
        out = run(["dpkg-query", "-W", "-f",
                   "${Package}\t${Architecture}\t${Version}\t${Multi-Arch}\t${source:Package}\t"
                   "${db:Status-Abbrev}\n"], deadline).stdout
        self.packages = {}
        for line in out.splitlines():
            name, arch, version, multiarch, source, status = line.split("\t")
            if status.startswith("ii"):
                self.packages[(name, arch)] = (version, multiarch, source)

    def version(self, name, arch):
        entry = self.packages.get((name, arch))
        return entry and entry[0]

    def shared_library(self, name):
        """The installed amd64 package of that name, when it is Multi-Arch: same."""
        entry = self.packages.get((name, "amd64"))
        return entry if entry and entry[1] == "same" else None

    def same_source(self, name, arch):
        entry = self.packages.get((name, arch)) or self.packages.get((name, "all"))
        return entry and entry[2]


def parse_policy(text):
    """apt-cache policy output -> {qualified: (candidate, [versions the lists offer, newest first])}.
    apt lists a package's versions newest first; one that only dpkg's status
    file knows (installed from lists since gone) is not offered."""
    tables, qualified, current = {}, None, None
    for line in text.splitlines():
        header = re.match(r"^(\S+):$", line)
        if header:
            qualified, current = header.group(1), None
            tables[qualified] = [None, []]
            continue
        if qualified is None:
            continue
        candidate = re.match(r"^  Candidate: (\S+)$", line)
        version = re.match(r"^ (?:\*\*\*|   ) (\S+) -?\d+$", line)
        origin = re.match(r"^ {8}-?\d+ (\S+)", line)
        if candidate:
            tables[qualified][0] = None if candidate.group(1) == "(none)" else candidate.group(1)
        elif version:
            current = version.group(1)
        elif origin and current and origin.group(1) != "/var/lib/dpkg/status":
            if current not in tables[qualified][1]:
                tables[qualified][1].append(current)
    return {qualified: (cand, versions) for qualified, (cand, versions) in tables.items()}


def version_tables(names, deadline, apt_options):
    """Both architectures' tables of each name: {(name, arch): (candidate, versions)}."""
    if not names:
        return {}
    qualified_names = [n + ":amd64" for n in names] + [n + ":i386" for n in names]
    tables = parse_policy(run(["apt-cache"] + apt_options + ["policy"] + qualified_names, deadline).stdout)
    result = {}
    for name in names:
        # apt prints the native architecture's header without a suffix.
        result[(name, "amd64")] = tables.get(name, tables.get(name + ":amd64", (None, [])))
        result[(name, "i386")] = tables.get(name + ":i386", (None, []))
    return result


def dependency_closure(deadline, apt_options):
    """Every package the target can pull in (candidate versions, under the
    current pins), as apt names them: plain for amd64 and all, name:i386."""
    out = run(["apt-cache"] + apt_options +
              ["depends", "--recurse", "--no-recommends", "--no-suggests", "--no-conflicts",
               "--no-breaks", "--no-replaces", "--no-enhances", TARGET], deadline)
    if out.returncode != 0:
        raise Refused("apt-cache depends %s failed: %s" % (TARGET, last_line(out.stderr)))
    return {line for line in out.stdout.splitlines() if line and not line.startswith((" ", "<"))}


def common_version(name, installed_version, amd64_versions, i386_versions):
    """The one version both architectures of a shared library get."""
    if installed_version in i386_versions:
        return installed_version
    for version in amd64_versions:
        if version in i386_versions:
            return version
    raise Refused("%s has no version in both the amd64 and the i386 lists (amd64 installed %s, "
                  "amd64 lists %s, i386 lists %s)" % (name, installed_version,
                                                     " ".join(amd64_versions) or "none",
                                                     " ".join(i386_versions) or "none"))


def library_pins(closure, installed, tables):
    """{name: version} for each installed amd64 shared library whose i386 copy
    the target pulls in and whose default versions would differ."""
    pins = {}
    for entry in sorted(closure):
        if not entry.endswith(":i386"):
            continue
        name = entry[:-len(":i386")]
        library = installed.shared_library(name)
        if not library:
            continue
        amd64_candidate, amd64_versions = tables[(name, "amd64")]
        i386_candidate, i386_versions = tables[(name, "i386")]
        if amd64_candidate == i386_candidate == library[0]:
            continue
        pins[name] = common_version(name, library[0], amd64_versions, i386_versions)
    return pins


def write_preferences(path, pins):
    with open(path, "w") as out:
        for name, version in sorted(pins.items()):
            out.write("Package: %s:any\nPin: version %s\nPin-Priority: 1001\n\n" % (name, version))


PLAN_LINE = re.compile(r"^(Inst|Remv) (\S+?)(?::(\w+))? (?:\[(\S+)\] ?)?(?:\((\S+) )?")


def parse_plan(text):
    """apt-get -s output -> [(action, name, arch, old version, new version)];
    arch is None for the native architecture and for arch-independent packages."""
    plan = []
    for line in text.splitlines():
        match = PLAN_LINE.match(line)
        if match:
            plan.append(match.groups())
    return plan


def sibling_version(name, installed, source_versions, tables):
    """The version to pin an installed amd64 (or arch-independent) sibling of a
    changed library to: the library's, without its rebuild suffix for an
    arch-independent package. None when the package is no such sibling."""
    versions = tables.get((name, "amd64"), (None, []))[1]
    for version in source_versions.get(installed.same_source(name, "amd64"), []):
        for wanted in (version, re.sub(r"\+b\d+$", "", version)):
            if wanted in versions:
                return wanted
    return None


def changed_sources(pins, installed):
    """{source: [pinned versions]} of the libraries the pins move in amd64."""
    sources = {}
    for name, version in pins.items():
        if installed.version(name, "amd64") not in (None, version):
            sources.setdefault(installed.same_source(name, "amd64"), []).append(version)
    return sources


def last_line(text):
    lines = [l for l in text.splitlines() if l.strip()]
    return lines[-1].strip() if lines else "no output"


def first_unmet(text):
    for line in text.splitlines():
        if " : Depends: " in line or " : PreDepends: " in line or " : Breaks: " in line:
            return " ".join(line.split())
    return last_line(text)


class Planner:
    def __init__(self, installed, deadline, folder):
        self.installed = installed
        self.deadline = deadline
        self.preferences = os.path.join(folder, "preferences")
        # apt moves every installed package of a source along with one it
        # upgrades; here only those that must move (exact-version siblings) do.
        self.apt_options = ["-o", "Dir::Etc::Preferences=" + self.preferences,
                            "-o", "APT::Get::Upgrade-By-Source-Package=false"]
        self.pins = {}
        self.sibling_pins = {}

    def all_pins(self):
        pins = dict(self.pins)
        pins.update(self.sibling_pins)
        # wine32 and libwine come from one source and require each other's version.
        if "libwine" in pins:
            pins["wine32"] = pins["libwine"]
        return pins

    def pin_libraries(self):
        """Pins the target's shared libraries; the closure is read again when the
        pins change it (an older version can depend on other packages)."""
        for _ in range(2):
            write_preferences(self.preferences, self.all_pins())
            closure = dependency_closure(self.deadline, self.apt_options)
            names = sorted({e[:-len(":i386")] for e in closure if e.endswith(":i386")})
            tables = version_tables(names, self.deadline, self.apt_options)
            pins = library_pins(closure, self.installed, tables)
            if all(self.pins.get(n) == v for n, v in pins.items()):
                break
            self.pins.update(pins)
        write_preferences(self.preferences, self.all_pins())
        return closure

    def simulate(self):
        return run(["apt-get"] + self.apt_options +
                   ["-s", "install", "--no-install-recommends", TARGET], self.deadline)

    def review(self, closure, plan):
        """Pins that the next round adds for siblings, or raises when the plan is unsafe."""
        pins = self.all_pins()
        unexpected = []
        for action, name, arch, old, new in plan:
            qualified = name + (":" + arch if arch else "")
            if action == "Inst" and old is None:
                if qualified not in closure:
                    raise Refused("would install %s, outside %s's dependencies" % (qualified, TARGET))
            elif not (action == "Inst" and pins.get(name) == new):
                unexpected.append((action, name, arch, old, new))
        candidates = sorted({name for _, name, arch, _, _ in unexpected if arch is None and name not in pins})
        tables = version_tables(candidates, self.deadline, self.apt_options)
        sources = changed_sources(pins, self.installed)
        extra = {}
        for name in candidates:
            wanted = sibling_version(name, self.installed, sources, tables)
            if wanted:
                extra[name] = wanted
        if extra or not unexpected:
            return extra
        problems = ["would %s %s %s%s" % ("remove" if a == "Remv" else "change", n + (":" + r if r else ""),
                                          o, " to " + v if a == "Inst" else "")
                    for a, n, r, o, v in unexpected]
        raise Refused("; ".join(problems[:3]) + (" (and %d more)" % (len(problems) - 3)
                                                 if len(problems) > 3 else ""))

    def plan(self):
        for _ in range(ROUNDS):
            closure = self.pin_libraries()
            out = self.simulate()
            if out.returncode != 0:
                raise Refused("apt cannot install %s even with one version per library: %s"
                              % (TARGET, first_unmet(out.stdout + out.stderr)))
            plan = parse_plan(out.stdout)
            extra = self.review(closure, plan)
            if not extra:
                return plan
            self.sibling_pins.update(extra)
        raise Refused("no safe plan after %d rounds" % ROUNDS)

    def describe(self, plan):
        changed = [p for p in plan if p[3] is not None]
        print("%s: %d new packages; installed packages changed:" % (TARGET, len(plan) - len(changed)))
        for action, name, arch, old, new in changed:
            print("  %s%s %s -> %s" % (name, ":" + arch if arch else "", old, new))
        if self.all_pins():
            print("pins:", " ".join("%s=%s" % p for p in sorted(self.all_pins().items())))

    def install(self):
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        out = subprocess.run(["apt-get"] + self.apt_options + APT_NETWORK_OPTIONS +
                             ["install", "-y", "-qq", "--no-install-recommends", "--no-remove", "--allow-downgrades",
                              TARGET], capture_output=True, text=True, env=env)
        if out.returncode != 0:
            sys.stderr.write(out.stdout + out.stderr)
            raise Refused("apt-get install %s failed: %s" % (TARGET, last_line(out.stderr or out.stdout)))


def main(argv):
    dry_run, verbose = "--dry-run" in argv, "--verbose" in argv
    try:
        deadline = Deadline(PLAN_SECONDS)
        installed = Installed(deadline)
        if installed.version("wine32", "i386"):
            return 0
        with tempfile.TemporaryDirectory(prefix="tavrel-wine32-") as folder:
            planner = Planner(installed, deadline, folder)
            plan = planner.plan()
            if verbose:
                planner.describe(plan)
            if not dry_run:
                planner.install()
    except Refused as why:
        print(str(why), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
