#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The checker at scale: generated repositories of 1,000, 10,000 and 100,000 shader files, each a
tree of WorkSpaces of 500 files (240 programs whose vertex stage includes a file of the
WorkSpace, 10 include files, 10 compute shaders; every other WorkSpace with two variants in its
tessory.json), checked with -r at -j 1 and -j N. Prints the wall time, the time per file, and the
peak memory of the checker and of its driver child (the largest resident size of each, from
/usr/bin/time and the kernel's accounting of waited-for children).
Targets: the time per file at the largest size at most 1.2 times that at 1,000 files; the peak
memory at 100,000 files at most 300 MB. As the bare-driver reference, the same run's first line
gives one WorkSpace of one program: the process, the driver's load and its first compile.
Run by hand after `make benchmarks`:
    bench/check/check_scale.py [BUILD_DIR] [SIZES] [JOBS]
with SIZES such as 1000,10000,100000 (the default) and JOBS the N of -j N (default: processors).
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(ROOT, "build")
SIZES = [int(s) for s in (sys.argv[2] if len(sys.argv) > 2 else "1000,10000,100000").split(",")]
JOBS = int(sys.argv[3]) if len(sys.argv) > 3 else os.cpu_count()
CHECKER = os.path.join(BUILD, "bin", "glsl-tessory-check")
PER_WORKSPACE = 500

VERTEX = """#version 330 core
#include "common_{k}.glsl"
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
uniform mat4 model{i};
uniform mat4 viewProjection;
out vec3 worldNormal;
out vec3 worldPosition;
void main() {{
    vec4 world = model{i} * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = normalize(mat3(model{i}) * normal);
    gl_Position = viewProjection * world * wave(world.x, {i}.0);
}}
"""
FRAGMENT = """#version 330 core
in vec3 worldNormal;
in vec3 worldPosition;
uniform vec3 lightPosition;
uniform vec3 tint{i};
out vec4 color;
void main() {{
    vec3 toLight = normalize(lightPosition - worldPosition);
    float diffuse = max(dot(normalize(worldNormal), toLight), 0.0);
#if defined(QUALITY) && QUALITY > 1
    vec3 halfway = normalize(toLight + vec3(0.0, 0.0, 1.0));
    diffuse += pow(max(dot(worldNormal, halfway), 0.0), 32.0);
#endif
    color = vec4(tint{i} * diffuse, 1.0);
}}
"""
INCLUDE = """float wave(float x, float phase) {{
    return 1.0 + 0.01 * sin(x * {k}.0 + phase);
}}
"""
COMPUTE = """#version 430
layout(local_size_x = 64) in;
layout(std430, binding = 0) buffer Values {{ float values[]; }};
void main() {{
    uint i = gl_GlobalInvocationID.x;
    values[i] = values[i] * {i}.0 + 1.0;
}}
"""


def generate(directory, files):
    for w in range(files // PER_WORKSPACE):
        workspace = os.path.join(directory, "ws%04d" % w)
        os.makedirs(workspace)
        if w % 2 == 0:
            with open(os.path.join(workspace, "tessory.json"), "w") as f:
                f.write('{"variants": [{"QUALITY": 1}, {"QUALITY": 2}]}\n')
        for k in range(10):
            with open(os.path.join(workspace, "common_%d.glsl" % k), "w") as f:
                f.write(INCLUDE.format(k=k))
            with open(os.path.join(workspace, "compute_%d.comp" % k), "w") as f:
                f.write(COMPUTE.format(i=k))
        for i in range(240):
            with open(os.path.join(workspace, "program_%03d.vert" % i), "w") as f:
                f.write(VERTEX.format(i=i, k=i % 10))
            with open(os.path.join(workspace, "program_%03d.frag" % i), "w") as f:
                f.write(FRAGMENT.format(i=i))


def measure(arguments, cwd):
    """Wall seconds, the checker's peak resident MB, its largest child's, and the exit status."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    start = time.monotonic()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", CHECKER, "-q"] + arguments, cwd=cwd,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    seconds = time.monotonic() - start
    own = int(done.stderr.strip().splitlines()[-1]) / 1024
    # The kernel's figure is the largest of every waited-for descendant so far: the driver's
    # child, when it is the largest yet.
    children = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
    return seconds, own, children if children > before / 1024 else None, done.returncode


def main():
    if not os.access(CHECKER, os.X_OK):
        sys.exit(CHECKER + " not built")
    work = tempfile.mkdtemp()
    try:
        one = os.path.join(work, "one")
        os.makedirs(one)
        shutil.copy(os.path.join(ROOT, "examples", "lighting.vert"), one)
        shutil.copy(os.path.join(ROOT, "examples", "lighting.frag"), one)
        seconds, own, _, _ = measure(["-j", "1", one], work)
        print("reference: one program, start-up and the driver's first compile: %.2f s, %.0f MB"
              % (seconds, own))
        first = {}
        for files in SIZES:
            tree = os.path.join(work, "files%d" % files)
            generate(tree, files)
            for jobs in sorted({1, JOBS}):
                seconds, own, child, status = measure(["-r", "-j", str(jobs), tree], work)
                per_file = seconds / files * 1e3
                first.setdefault(jobs, per_file)
                print("%7d files -j %d: %8.1f s  %.3f ms/file (%.2f x that at %d)  peak %.0f MB"
                      "%s  exit %d" % (files, jobs, seconds, per_file, per_file / first[jobs],
                                       SIZES[0], own,
                                       "" if child is None else ", largest of it and its child %.0f MB" % child,
                                       status), flush=True)
            shutil.rmtree(tree)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
