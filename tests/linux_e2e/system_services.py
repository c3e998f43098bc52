"""System services for the Linux end-to-end tests: a private system bus and a session bus,
with python-dbusmock's stand-ins for logind, NetworkManager, UDisks2 and session managers.

The mocks run under Debian's Python (/usr/bin/python3), which has python3-dbusmock; the tests
may run under another. Each mock logs the calls it gets, with their times, for the tests to read.
"""

import json
import os
import subprocess
import tempfile
from pathlib import Path

from linux_session import LumivoTestCase, wait_for

DEBIAN_PYTHON = "/usr/bin/python3"
HERE = Path(__file__).resolve().parent

SYSTEM_BUS_CONFIG = """<busconfig>
  <type>system</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
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
    """The buses and mocks of one test; stop() ends them all."""

    def __init__(self):
        self.dir = Path(tempfile.mkdtemp(prefix="lumivo-bus-"))
        self.processes = []
        self.env = {}  # the bus addresses, for the processes under test

    def _bus(self, kind):
        if kind == "system":
            config = self.dir / "system.conf"
            config.write_text(SYSTEM_BUS_CONFIG.format(socket=self.dir / "system_bus_socket"))
            arguments = [f"--config-file={config}"]
        else:
            arguments = ["--session"]
        daemon = subprocess.Popen(["dbus-daemon", "--nofork", "--print-address", *arguments],
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.processes.append(daemon)
        address = daemon.stdout.readline().strip()
        daemon.stdout.close()
        return address

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
        env = dict(os.environ, **self.env)
        self.processes.append(subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL))
        wait_for(lambda: self.name_has_owner(bus, name), 10, f"{name} on the {bus} bus")
        return Mock(self.processes[-1], log)

    def send(self, bus, *arguments):
        """dbus-send on that bus; its printed reply."""
        return subprocess.run(["dbus-send", f"--bus={self.start_bus(bus)}", "--print-reply",
                               *arguments], capture_output=True, text=True, check=False).stdout

    def name_has_owner(self, bus, name):
        return "boolean true" in self.send(bus, "--dest=org.freedesktop.DBus",
                                           "/org/freedesktop/DBus",
                                           "org.freedesktop.DBus.NameHasOwner", f"string:{name}")

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
                           env=dict(os.environ, **self.env), check=True)
        return mock

    def session_manager(self, name, path, interface, methods):
        """A session manager on the session bus whose methods (name: (in signature, code))
        take any request, or raise what their code raises."""
        mock = self.mock("session", name, path=path, interface=interface)
        for method, (signature, code) in methods.items():
            self.add_method("session", name, path, interface, method, signature, "", code)
        return mock

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


class ServicesTestCase(LumivoTestCase):
    """Lumivo with the services that set_up_services starts for the test at hand."""

    def set_up_services(self, services):
        raise NotImplementedError

    def start_services(self):
        self.services = SystemServices()
        self.addCleanup(self.services.stop)
        self.set_up_services(self.services)
        self.desktop.extra_env.update(self.services.env)
