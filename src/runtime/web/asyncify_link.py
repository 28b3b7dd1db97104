#!/usr/bin/env python3
"""Links a web program so that Asyncify instruments only what can be on the stack during a wait.

Run as the linker launcher: asyncify_link.py <em++ command line...>.

By default Asyncify instruments every function that makes an indirect call (the runtime's
Backend and BackendWindow interfaces, std::function handlers, the invoke_* calls through which
-fexceptions makes every call that may throw), which doubles the module. Here the call graph is
worked out instead:

1. The command is run once with --oformat=bare, which leaves wasm-ld's module, names and all.
2. From wasm-dis's text of it: every function that can reach a waiting import (EM_ASYNC_JS's
   __asyncjs__*, and emscripten's own), where an indirect call, or an invoke_* import, may reach
   every function in the table of the same signature (wasm traps on any other).
3. The command is run again with those functions as -sASYNCIFY_ONLY (written beside the output).
4. The module that came out is checked the same way on its own call graph (its imports named
   by the script's table of them, its functions by the symbol map): every function that can
   reach a waiting import must read Asyncify's state. If one does not, it would trap with
   "unreachable" on that path, so the output is removed and the link fails.

Two calls through pointers are resolved further, soundly: an invoke_* call with a constant index
reaches that one function, and the terminate handler is the default one (HANDLER_CALLS).

Only the standard library; the output depends only on the module, so builds stay reproducible.
"""

import fnmatch
import os
import re
import subprocess
import sys

# emscripten 3.1.6's own waiting imports (emcc.py's DEFAULT_ASYNCIFY_IMPORTS), "module.field".
WAITING_IMPORTS = [
    'env.emscripten_sleep', 'env.emscripten_wget', 'env.emscripten_wget_data',
    'env.emscripten_idb_*', 'env.SDL_Delay', 'env.emscripten_scan_registers',
    'env.emscripten_lazy_load_code', 'env.emscripten_fiber_swap',
    'wasi_snapshot_preview1.fd_sync', 'env.__wasi_fd_sync', 'env._emval_await',
    'env._dlopen_js', 'env.__asyncjs__*',
]

# The terminate handler, called through a pointer (from every noexcept function's landing pad),
# is libc++abi's default while std::set_terminate is not in the module: with emscripten's
# exceptions that is abort (LIBCXXABI_SILENT_TERMINATE), taken only if it is in the table.
# Otherwise the call would be taken to reach any void() function in the table, as Main is, and
# nearly every function would be instrumented. (operator new's new-handler: Allocation.cpp.)
HANDLER_CALLS = {
    'std::__terminate(void (*)())': ('std::set_terminate(void (*)())', {'abort'}),
    'std::terminate()': ('std::set_terminate(void (*)())', {'abort'}),
}

VALUE_TYPES = {'i32', 'i64', 'f32', 'f64', 'v128', 'funcref', 'externref'}


def signature(text):
    """(params, results) of a header's (param ...) and (result ...) groups."""
    params, results = [], []
    for kind, body in re.findall(r'\((param|result)((?:\s+[^()\s]+)*)\)', text):
        types = [t for t in body.split() if t in VALUE_TYPES]
        (params if kind == 'param' else results).extend(types)
    return tuple(params), tuple(results)


class Module:
    """Functions, their calls and the table, from wasm-dis's text of a module."""

    def __init__(self, wat, names, rename=lambda full: full):
        self.types = {}      # type name -> signature
        self.imports = {}    # function name -> "module.field"
        self.sig = {}        # function name -> signature
        self.calls = {}      # function name -> set of function names called directly
        self.indirect = {}   # function name -> set of signatures called indirectly
        self.reads = {}      # function name -> set of globals read
        self.writes = {}     # function name -> list of (global, constant) set
        self.table = []
        self.base = 0
        bodies = {}
        current = None
        for line in wat.splitlines():
            if line.startswith(' (type '):
                m = re.match(r' \(type \$(\S+) \(func(.*)\)\)$', line)
                if m:
                    self.types[m.group(1)] = signature(m.group(2))
            elif line.startswith(' (import '):
                m = re.match(r' \(import "([^"]*)" "([^"]*)" \(func \$(\S+)(.*)\)\)$', line)
                if m:
                    self.imports[m.group(3)] = rename(m.group(1) + '.' + m.group(2))
                    self.sig[m.group(3)] = signature(m.group(4))
            elif line.startswith(' (func '):
                m = re.match(r' \(func \$(\S+)(.*)$', line)
                current = m.group(1)
                self.sig[current] = signature(m.group(2))
                bodies[current] = []
            elif line.startswith(' (elem '):
                m = re.match(r' \(elem (?:\$\S+ )?(?:\(table \$\S+\) )?\(i32\.const (\d+)\)'
                             r'(?: func)?((?: \$[^\s()]+)*)\)$', line)
                if not m or self.table:
                    sys.exit('asyncify_link.py: the table is not one segment: ' + line[:80])
                self.base = int(m.group(1))
                self.table = re.findall(r'\$([^\s()]+)', m.group(2))
                current = None
            elif line.startswith(' ('):
                current = None
            elif current is not None:
                bodies[current].append(line)
        for f, lines in bodies.items():
            body = '\n'.join(lines)
            if 'return_call' in body:
                sys.exit('asyncify_link.py: tail calls are not handled')
            self.calls[f] = set()
            for callee, index in re.findall(r'\(call \$([^\s()]+)(?:\s*\(i32\.const (\d+)\))?',
                                            body):
                if index and self.is_invoke(callee) and \
                        0 <= int(index) - self.base < len(self.table):
                    # invoke_*(index, ...) with a constant index: a call (that may throw) to
                    # that one function of the table.
                    self.calls[f].add(self.table[int(index) - self.base])
                else:
                    self.calls[f].add(callee)
            self.indirect[f] = {self.types[t] for t in re.findall(
                r'\(call_indirect (?:\$\S+\s+)?\(type \$([^\s()]+)\)', body)}
            self.reads[f] = set(re.findall(r'\(global\.get \$([^\s()]+)\)', body))
            self.writes[f] = re.findall(
                r'\(global\.set \$([^\s()]+)\s*\(i32\.const (-?\d+)\)', body)
        self.by_sig = {}
        for f in self.table:
            if f in self.sig:
                self.by_sig.setdefault(self.sig[f], set()).add(f)
        named = {}
        for f in self.sig:
            named.setdefault(names(f), set()).add(f)
        for caller, (setter, defaults) in HANDLER_CALLS.items():
            handlers = {t for d in defaults for t in named.get(d, ()) if t in self.table}
            if setter in named or not handlers:
                continue
            for f in named.get(caller, ()):
                self.indirect[f] = set()
                self.calls[f] = {c for c in self.calls[f] if not self.is_invoke(c)}
                self.calls[f] |= handlers

    def is_invoke(self, f):
        return self.imports.get(f, '').startswith('env.invoke_')

    def waiting(self):
        """The functions that can reach a waiting import."""
        callees = {}
        for f in self.calls:
            targets = set(self.calls[f])
            for s in self.indirect[f]:
                targets |= self.by_sig.get(s, set())
            callees[f] = targets
        for f in self.imports:
            if self.is_invoke(f):
                # invoke_<sig>(index, args...) calls table[index](args...).
                params, results = self.sig[f]
                callees[f] = set(self.by_sig.get((params[1:], results), set()))
            else:
                callees[f] = set()
        reached = {f for f in self.imports
                   if any(fnmatch.fnmatchcase(self.imports[f], p) for p in WAITING_IMPORTS)}
        callers = {}
        for f, targets in callees.items():
            for t in targets:
                callers.setdefault(t, set()).add(f)
        todo = list(reached)
        while todo:
            for caller in callers.get(todo.pop(), ()):
                if caller not in reached:
                    reached.add(caller)
                    todo.append(caller)
        return reached


def unescape(name):
    """The human-readable name, as Asyncify's lists take it (wasm-dis writes \\XX escapes)."""
    out = bytearray()
    i = 0
    raw = name.encode()
    while i < len(raw):
        if raw[i:i + 1] == b'\\' and re.fullmatch(rb'[0-9a-fA-F]{2}', raw[i + 1:i + 3]):
            out.append(int(raw[i + 1:i + 3], 16))
            i += 3
        else:
            out.append(raw[i])
            i += 1
    return out.decode()


def list_entry(name):
    """The name as an entry of Asyncify's list, which binaryen splits at commas outside
    brackets, counting ( < [ { against ) > ] }: a name that would not come back whole from that
    (operator<, operator->, ...) becomes a pattern with those characters as '*' wildcards,
    which matches it and perhaps a few more: more instrumented, never less. emcc reads '.' as
    a space, '#' as '&' and '?' as ',': those are wildcards too."""
    nesting = 0
    whole = True
    for c in name:
        if c in '(<[{':
            nesting += 1
        elif c in ')>]}':
            nesting -= 1
        elif c == ',' and nesting <= 0:
            whole = False
        elif c == '\n':
            whole = False
    if not (whole and nesting == 0):
        name = re.sub(r'[,()<>\[\]{}\n]', '*', name)
    return re.sub(r'[.#?]', '*', name)


def shadowed_names(entries, functions):
    """wasm-opt 108 fails (std::out_of_range) matching a pattern against a name that ends just
    where one of the pattern's wildcards begins, all before it matched, unless that name is
    listed as it is, which it checks before any pattern: such names are listed too (more
    instrumented, never less)."""
    listed = set(entries)
    shadowed = set()
    for pattern in entries:
        parts = pattern.split('*')
        for k in range(1, len(parts)):
            prefix = re.compile('.*'.join(map(re.escape, parts[:k])), re.S)
            shadowed |= {f for f in functions
                         if f not in listed and list_entry(f) == f and prefix.fullmatch(f)}
    return shadowed


def disassemble(wasm):
    return subprocess.run(['wasm-dis', wasm], check=True, stdout=subprocess.PIPE,
                          universal_newlines=True).stdout


def check_output(js, wasm):
    """The names of the functions in the linked module that can reach a waiting import but do
    not read Asyncify's state, so are not instrumented, and how many can reach one. The
    module's imports and exports are minified: their names come from the script."""
    script = open(js, encoding='utf-8').read()
    # Emscripten 3.1.6 (Debian 12) and 3.1.69 (Debian 13) name and spell these differently.
    library = re.search(r'var (?:asmLibraryArg|wasmImports)=\{(.*?)\};', script)
    if not library:
        sys.exit('asyncify_link.py: no import table in ' + js)
    imported = dict(re.findall(r'"?([\w$]+)"?:([\w$]+)', library.group(1)))
    start_unwind = re.search(r'_asyncify_start_unwind=(?:Module\["_asyncify_start_unwind"\]='
                             r'Module\["asm"\]|wasmExports)\["([^"]+)"\]', script)

    def rename(full):
        # emscripten's JS functions are the C names with a '_' in front; EM_ASYNC_JS's and
        # invoke_* keep theirs.
        js_name = imported.get(full.split('.', 1)[1], '')
        if js_name.startswith('_') and not js_name.startswith('__asyncjs__'):
            js_name = js_name[1:]
        return 'env.' + js_name

    text = disassemble(wasm)
    # The symbol map numbers imports first, then the functions, which wasm-dis numbers apart.
    symbols = dict(line.split(':', 1) for line in
                   open(js + '.symbols', encoding='utf-8').read().splitlines())
    count = len(re.findall(r'^ \(import "[^"]*" "[^"]*" \(func ', text, re.M))

    def names(f):
        index = f[len('fimport$'):] if f.startswith('fimport$') else str(int(f) + count)
        return unescape(symbols.get(index, f))

    module = Module(text, names, rename)
    exports = dict(re.findall(r'\(export "([^"]+)" \(func \$([^\s()]+)\)\)', text))
    name = start_unwind.group(1) if start_unwind else None
    if name not in exports:
        sys.exit('asyncify_link.py: asyncify_start_unwind not found in ' + js)
    # asyncify_start_unwind sets the state to 1 (unwinding): that global is the state.
    states = {g for g, value in module.writes[exports[name]] if value == '1'}
    if len(states) != 1:
        sys.exit('asyncify_link.py: Asyncify\'s state not found in ' + wasm)
    waiting = module.waiting() - set(module.imports)
    if len(waiting) < 2:
        sys.exit('asyncify_link.py: nothing in ' + wasm + ' waits; the check would prove nothing')
    return sorted(names(f) for f in waiting if not (module.reads[f] & states)), len(waiting)


def main(command):
    output = command[command.index('-o') + 1]
    stem = os.path.splitext(output)[0]
    bare = stem + '.calls.wasm'
    only = stem + '.asyncify-only.txt'
    args = command[:]
    args[args.index('-o') + 1] = bare
    subprocess.run(args + ['--oformat=bare', '-Wno-experimental'], check=True)
    module = Module(disassemble(bare), unescape)
    waiting = sorted(module.waiting() - set(module.imports))
    # emcc's dynCall_* are called by the invoke_* functions of the script, through which a wait
    # can unwind: they are not in wasm-ld's module, and have no other names.
    entries = {list_entry(unescape(f)) for f in waiting} | {'dynCall_*'}
    functions = {unescape(f) for f in module.sig if f not in module.imports}
    entries = sorted(entries | shadowed_names(entries, functions))
    # QUIBLY_ASYNCIFY_DROP names an entry to leave out, to see the check below fail.
    dropped = os.environ.get('QUIBLY_ASYNCIFY_DROP')
    if dropped:
        entries = [e for e in entries if dropped not in e]
    with open(only, 'w', encoding='utf-8') as listing:
        listing.write(''.join(e + '\n' for e in entries))
    os.remove(bare)
    # Functions that wasm-opt has inlined or merged before Asyncify runs are missing from the
    # module it sees, and it warns of each; the check below is what counts.
    # The symbol map (beside the output, not in the site) names the functions for the check.
    link = subprocess.run(command + ['-sASYNCIFY_ONLY=@' + only, '--emit-symbol-map'],
                          stderr=subprocess.PIPE,
                          universal_newlines=True)
    absent = re.compile(r'warning: Asyncify onlylist contained a non-(existing function name|'
                        r'matching pattern): ')
    sys.stderr.write(''.join(line for line in link.stderr.splitlines(True)
                             if not absent.match(line)))
    if link.returncode:
        sys.exit(link.returncode)

    missed, checked = check_output(output, stem + '.wasm')
    if missed:
        for f in (output, stem + '.wasm'):
            if os.path.exists(f):
                os.remove(f)
        sys.exit('asyncify_link.py: %d of the %d functions of %s that can reach a waiting import '
                 'are not instrumented (%s); Asyncify would trap there. Removed the output.'
                 % (len(missed), checked, output, ' '.join(missed[:20])))
    print('asyncify_link.py: %s: %d functions instrumented, all that can reach a wait'
          % (os.path.basename(output), checked))


if __name__ == '__main__':
    main(sys.argv[1:])
