"""The private buses of the Linux end-to-end tests and the services on them: a system bus and a
session bus of the test's own, python-dbusmock's stand-ins for logind, NetworkManager, UDisks2,
session managers, the notification server and the portal, and the trays' services.

Every test's buses start here. The session bus activates only the services a test allows
(allow_activation): the machine's own service files (a desktop's notification server installed
but not running) would otherwise answer, late, for the ones a test means to leave out. Services
that the bus starts get the bus's environment, HOME included.

The mocks run under Debian's Python (/usr/bin/python3), which has python3-dbusmock; the tests
may run under another. Each mock logs the calls it gets, with their times, for the tests to read.
"""

import json
import os
import subprocess
from pathlib import Path

from waiting import wait_for

DEBIAN_PYTHON = "/usr/bin/python3"
HERE = Path(__file__).resolve().parent
SERVICE_FILES = Path("/usr/share/dbus-1/services")

BUS_CONFIG = """<busconfig>
  <type>{kind}</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <servicedir>{services}</servicedir>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
"""


class Mock:
    """One dbusmock process and its call log."""

    def __init__(self, process, log):
        self.process, self.log = process, log

    def calls(self, method=None):
        """(time, method, arguments text) of each call so far, in order (the log's lines for
        the errors a method raised left out)."""
        found = []
        for line in self.log.read_text(errors="replace").splitlines() if self.log.exists() else []:
            stamp, _, rest = line.partition(" ")
            name, _, arguments = rest.partition(" ")
            if (method is None or name == method) and not arguments.startswith("raised:"):
                found.append((float(stamp), name, arguments))
        return found


class SystemServices:
    """The buses and mocks of one test, in folder; env is what the processes under test need
    (the bus addresses), environment() the desktop's, which the buses and mocks start with.
    What they print goes to log. stop() ends them all."""

    def __init__(self, folder, environment, log):
        self.dir = Path(folder)
        self.dir.mkdir(parents=True, exist_ok=True)
        self.environment, self.log = environment, log
        self.processes = []
        self.env = {}

    def _bus(self, kind):
        services = self.dir / f"{kind}-services"
        services.mkdir(exist_ok=True)
        config = self.dir / f"{kind}.conf"
        config.write_text(BUS_CONFIG.format(kind=kind, socket=self.dir / f"{kind}_bus_socket",
                                            services=services))
        with open(self.log, "ab") as output:
            daemon = subprocess.Popen(["dbus-daemon", "--nofork", "--print-address",
                                       f"--config-file={config}"],
                                      env=dict(self.environment(), **self.env),
                                      stdout=subprocess.PIPE, stderr=output, text=True)
        self.processes.append(daemon)
        address = daemon.stdout.readline().strip()
        daemon.stdout.close()
        return address

    def allow_activation(self, *names):
        """Lets the session bus start those services of the machine's when they are called."""
        folder = self.dir / "session-services"
        self.start_bus("session")
        for name in names:
            link = folder / f"{name}.service"
            if not link.exists():
                link.symlink_to(SERVICE_FILES / f"{name}.service")
        self.send("session", "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                  "org.freedesktop.DBus.ReloadConfig")

    def start_bus(self, kind):
        """Starts the system or the session bus once; its address goes into env."""
        variable = f"DBUS_{kind.upper()}_BUS_ADDRESS"
        if variable not in self.env:
            self.env[variable] = self._bus(kind)
        return self.env[variable]

    def mock(self, bus, name, template=None, path=None, interface=None, parameters=None):
        """Starts a mock that owns name on that bus ("system" or "session"), from a template
        (dbusmock's own or a file) or as a bare object at path with interface."""
        address = self.start_bus(bus)
        log = self.dir / f"{name}.log"
        command = [DEBIAN_PYTHON, "-m", "dbusmock", f"--{bus}", "-l", str(log)]
        if template:
            command += ["-t", template]
        if parameters:
            command += ["-p", json.dumps(parameters)]
        if not template:
            command += [name, path, interface]
        with open(self.log, "ab") as output:
            self.processes.append(subprocess.Popen(command,
                                                   env=dict(self.environment(), **self.env),
                                                   stdout=subprocess.DEVNULL, stderr=output))
        wait_for(lambda: self.name_has_owner(bus, name), 10, f"{name} on the {bus} bus")
        return Mock(self.processes[-1], log)

    def send(self, bus, *arguments, timeout=10):
        """dbus-send on that bus; its printed reply, or None on an error (no reply within
        timeout seconds among them)."""
        done = subprocess.run(["dbus-send", f"--bus={self.start_bus(bus)}", "--print-reply",
                               f"--reply-timeout={timeout * 1000}", *arguments],
                              capture_output=True, text=True, check=False, timeout=timeout + 5)
        return done.stdout if done.returncode == 0 else None

    def name_has_owner(self, bus, name):
        return "boolean true" in (self.send(bus, "--dest=org.freedesktop.DBus",
                                            "/org/freedesktop/DBus",
                                            "org.freedesktop.DBus.NameHasOwner",
                                            f"string:{name}") or "")

    def add_method(self, bus, name, path, interface, method, in_signature, out_signature, code):
        self.send(bus, f"--dest={name}", path, "org.freedesktop.DBus.Mock.AddMethod",
                  f"string:{interface}", f"string:{method}", f"string:{in_signature}",
                  f"string:{out_signature}", f"string:{code}")

    # ------------------------------------------------------------ the services

    def udisks2(self, device, **parameters):
        """UDisks2 with one optical drive at device (see udisks2_template.py)."""
        return self.mock("system", "org.freedesktop.UDisks2",
                         template=str(HERE / "udisks2_template.py"),
                         parameters=dict(parameters, device=str(device)))

    def network_manager(self, *connections):
        """NetworkManager with saved connections of those names."""
        mock = self.mock("system", "org.freedesktop.NetworkManager", template="networkmanager")
        for name in connections:
            subprocess.run([DEBIAN_PYTHON, "-c", ADD_CONNECTION, name],
                           env=dict(self.environment(), **self.env), check=True)
        return mock

    def session_manager(self, name, path, interface, methods):
        """A session manager on the session bus whose methods (name: (in signature, code))
        take any request, or raise what their code raises."""
        mock = self.mock("session", name, path=path, interface=interface)
        for method, (signature, code) in methods.items():
            self.add_method("session", name, path, interface, method, signature, "", code)
        return mock

    def notification_server(self):
        return self.mock("session", "org.freedesktop.Notifications", template="notification_daemon")

    def portal(self, template):
        return self.mock("session", "org.freedesktop.portal.Desktop", template=str(template))

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                process.wait(5)


ADD_CONNECTION = """
import sys, dbus
settings = dbus.SystemBus().get_object("org.freedesktop.NetworkManager",
                                       "/org/freedesktop/NetworkManager/Settings")
settings.AddConnection({"connection": {"id": sys.argv[1], "type": "802-3-ethernet"}},
                       dbus_interface="org.freedesktop.NetworkManager.Settings")
"""


def fake_file_manager(folder):
    """An xdg-open that only writes down when it was asked to open what; PATH for it."""
    log = folder / "opened.log"
    script = folder / "xdg-open"
    script.write_text(f'#!/bin/sh\necho "$(date +%s.%N) $1" >> "{log}"\n')
    script.chmod(0o755)
    return log, f"{folder}:{os.environ['PATH']}"
