# Reads an strace log of a whole run of Quibly (strace -f -o LOG -e trace=<the calls below>) and
# prints one line for each thing the program did outside itself: a file opened for writing or
# created, renamed, linked or removed, a directory made, a socket connected or bound, a program
# started. Exits 1 if it printed any. Calls are counted whether or not they succeeded: an attempt
# shows the intent.
#
# Allowed, each by its exact name, from the environment the run had:
# - the X display of DISPLAY: its socket /tmp/.X11-unix/X<n>, by path or by abstract name;
# - the session bus of DBUS_SESSION_BUS_ADDRESS: Qt asks it whether accessibility is on and
#   whether a global menu bar is offered; the accessibility bus itself is reached only where
#   accessibility is on, which it is not in the test's session;
# - making XDG_RUNTIME_DIR: Qt checks that the runtime directory exists by a mkdir that fails
#   with EEXIST;
# - fontconfig's cache, when the installed one is out of date: files directly in
#   /var/cache/fontconfig (taken where it is writable) or else in XDG_CACHE_HOME/fontconfig
#   (XDG_CACHE_HOME defaults to HOME/.cache), and making those directories and XDG_CACHE_HOME,
#   which fontconfig makes on its way to its own;
# - the first execve, which starts Quibly itself.

function fail(what, object) {
    print what ": " object
    found = 1
}

function normal(path) {
    gsub(/\/+/, "/", path)
    if (length(path) > 1)
        sub(/\/$/, "", path)
    return path
}

function quoted(text, strings,    count) {
    count = 0
    while (match(text, /"([^"\\]|\\.)*"/)) {
        strings[++count] = substr(text, RSTART + 1, RLENGTH - 2)
        text = substr(text, RSTART + RLENGTH)
    }
    return count
}

function inFontCache(path,    directory) {
    path = normal(path)
    directory = path
    sub(/\/[^\/]*$/, "", directory)
    return (directory in fontCaches) && path !~ /\/\.\.?$/
}

# The paths a call names, listed, where any of them lies outside fontconfig's cache; else "".
function pathsOutsideFontCache(arguments,    paths, count, i, outside, list) {
    count = quoted(arguments, paths)
    for (i = 1; i <= count; i++) {
        outside = outside || !inFontCache(paths[i])
        list = list (i > 1 ? ", " : "") paths[i]
    }
    return outside ? list : ""
}

BEGIN {
    display = ENVIRON["DISPLAY"]
    sub(/^[^:]*:/, "", display)
    sub(/\..*$/, "", display)
    allowedSockets["\"/tmp/.X11-unix/X" display "\""] = 1
    allowedSockets["@\"/tmp/.X11-unix/X" display "\""] = 1

    busCount = split(ENVIRON["DBUS_SESSION_BUS_ADDRESS"], buses, ";")
    for (b = 1; b <= busCount; b++) {
        if (buses[b] !~ /^unix:/)
            continue
        keyCount = split(substr(buses[b], 6), keys, ",")
        for (k = 1; k <= keyCount; k++) {
            if (keys[k] ~ /^path=/)
                allowedSockets["\"" substr(keys[k], 6) "\""] = 1
            else if (keys[k] ~ /^abstract=/)
                allowedSockets["@\"" substr(keys[k], 10) "\""] = 1
        }
    }

    cacheHome = ENVIRON["XDG_CACHE_HOME"]
    if (cacheHome == "")
        cacheHome = ENVIRON["HOME"] "/.cache"
    fontCaches["/var/cache/fontconfig"] = 1
    fontCaches[normal(cacheHome "/fontconfig")] = 1
    allowedDirectories[normal(ENVIRON["XDG_RUNTIME_DIR"])] = 1
    allowedDirectories[normal(cacheHome)] = 1
    for (cache in fontCaches)
        allowedDirectories[cache] = 1
}

# "PID  call(arguments" up to the result or "<unfinished ...>"; resumed calls carry no arguments.
!match($0, /^[0-9]+ +[a-z0-9_]+\(/) { next }
{
    call = $0
    sub(/^[0-9]+ +/, "", call)
    arguments = substr(call, index(call, "(") + 1)
    sub(/\(.*/, "", call)
    path = quoted(arguments, strings) ? strings[1] : ""
}

call ~ /^execve(at)?$/ {
    if (started++)
        fail("started a program", path)
    next
}
call ~ /^(open|openat|openat2)$/ {
    if (arguments ~ /O_WRONLY|O_RDWR|O_CREAT|O_TRUNC/ && !inFontCache(path))
        fail("opened for writing", path)
    next
}
call ~ /^(creat|truncate)$/ {
    if (!inFontCache(path))
        fail("wrote", path)
    next
}
call ~ /^mkdir(at)?$/ {
    if (!(normal(path) in allowedDirectories))
        fail("made a directory", path)
    next
}
call ~ /^(rename|renameat2?|link|linkat|symlink|symlinkat|unlink|unlinkat|rmdir|mknod|mknodat)$/ {
    paths = pathsOutsideFontCache(arguments)
    if (paths != "")
        fail(call, paths)
    next
}
call ~ /^(connect|bind)$/ {
    address = arguments
    if (match(address, /\{sa_family=[^}]*\}/))
        address = substr(address, RSTART, RLENGTH)
    socket = address
    if (match(socket, /sun_path=@?"([^"\\]|\\.)*"/))
        socket = substr(socket, RSTART + 9, RLENGTH - 9)
    if (call == "bind" || !(socket in allowedSockets))
        fail(call == "bind" ? "bound a socket" : "connected a socket", address)
    next
}

END { exit found }
