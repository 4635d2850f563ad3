#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The files that put the checker into other people's builds: the pre-commit manifest, the
GitHub action with its problem matcher, and the workflow, read as their tools read them and run
against a fixture as those tools would run them."""
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

import yaml

CHECKER = os.path.abspath(sys.argv.pop(1))
ROOT = os.path.abspath(sys.argv.pop(1))

VERTEX = b"void main()\n{\n    gl_Position = ftransform();\n}\n"
FRAGMENT = b"void main()\n{\n    gl_FragColor = vec4(1.0);\n}\n"
BROKEN = b"void main()\n{\n    gl_FragColor = vec4(missingF);\n}\n"
WARNING = b"#version 110\nvoid main()\n{\n    gl_FragColor = vec4(1.0);\n}\n#extension GL_FOO_bar : warn\n"


def load(relative):
    with open(os.path.join(ROOT, relative), encoding="utf-8") as f:
        return yaml.safe_load(f) if relative.endswith((".yaml", ".yml")) else json.load(f)


def fixture(files):
    directory = tempfile.mkdtemp()
    for name, data in files.items():
        path = os.path.join(directory, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    return directory


def run(arguments, cwd):
    return subprocess.run([CHECKER] + arguments, cwd=cwd, capture_output=True, text=True)


class PreCommitManifest(unittest.TestCase):
    def setUp(self):
        self.hooks = {hook["id"]: hook for hook in load(".pre-commit-hooks.yaml")}

    def test_both_hooks_run_the_system_checker(self):
        self.assertEqual(set(self.hooks), {"glsl-tessory-check", "glsl-tessory-check-vulkan"})
        for hook in self.hooks.values():
            self.assertEqual(hook["language"], "system")
            self.assertTrue(hook["entry"].startswith("glsl-tessory-check"))
            self.assertTrue(hook["name"])
        self.assertIn("--target vulkan", self.hooks["glsl-tessory-check-vulkan"]["entry"])

    def test_files_are_the_shader_stages_and_not_includes(self):
        files = re.compile(self.hooks["glsl-tessory-check"]["files"])
        for name in ["water.vert", "water.frag", "a/b.comp", "ray.rchit", "water.frag.glsl"]:
            self.assertTrue(files.search(name), name)
        for name in ["common.glsl", "README.md", "water.vert.bak", "frag"]:
            self.assertFalse(files.search(name), name)

    def test_hooks_pass_clean_files_and_stop_broken_ones(self):
        directory = fixture({"ok.frag": FRAGMENT, "ok.vert": VERTEX, "bad.frag": BROKEN,
                             "lib/common.glsl": b"float helper() { return 1.0; }\n"})
        hook = self.hooks["glsl-tessory-check"]
        files = re.compile(hook["files"])
        # As pre-commit calls it: the entry, its args, then the staged files that match.
        staged = sorted(name for name in ["ok.frag", "ok.vert", "bad.frag", "lib/common.glsl"]
                        if files.search(name))
        entry = hook["entry"].split()[1:] + hook.get("args", [])
        clean = run(entry + [n for n in staged if n != "bad.frag"], directory)
        self.assertEqual(clean.returncode, 0, clean.stderr)
        broken = run(entry + staged, directory)
        self.assertEqual(broken.returncode, 1, broken.stderr)
        self.assertIn("bad.frag:3:", broken.stdout)


class ProblemMatcher(unittest.TestCase):
    def setUp(self):
        matcher = load(".github/glsl-tessory-check-matcher.json")["problemMatcher"][0]
        self.owner = matcher["owner"]
        self.pattern = matcher["pattern"][0]
        self.regexp = re.compile(self.pattern["regexp"])

    def test_every_message_form_of_the_text_output_is_matched(self):
        directory = fixture({
            "ws/bad.vert": VERTEX, "ws/bad.frag": BROKEN,         # PATH:LINE[:COLUMN]: error
            "ws/warn.vert": VERTEX, "ws/warn.frag": WARNING,      # warning
            "ws/lone.frag": FRAGMENT,                             # PATH: error (no line)
            "ws/a,b:c.comp": b"#version 430\nlayout(local_size_x = 1) in;\nvoid main() { y; }\n",
        })
        text = run(["-q", "ws"], directory)
        report = json.loads(run(["--format=json", "ws"], directory).stdout)
        expected = [m for w in report["workspaces"]
                    for m in w["problems"] + [m for e in w["pairs"] + w["files"]
                                              for m in e["messages"]]]
        lines = text.stdout.splitlines()
        self.assertEqual(len(lines), len(expected))
        self.assertTrue(any(m["line"] is None for m in expected))
        self.assertTrue(any(m["severity"] == "warning" for m in expected))
        for line, message in zip(lines, expected):
            match = self.regexp.match(line)
            self.assertIsNotNone(match, line)
            group = lambda key: match.group(self.pattern[key])
            self.assertEqual(os.path.normpath(group("file")),
                             os.path.normpath(os.path.relpath(message["file"], directory)
                                              if os.path.isabs(message["file"])
                                              else message["file"]), line)
            self.assertEqual(group("line"), None if message["line"] is None
                             else str(message["line"]), line)
            self.assertEqual(group("column"), None if message["column"] is None
                             else str(message["column"]), line)
            self.assertEqual(group("severity"), message["severity"], line)
            self.assertTrue(group("message").startswith(message["text"]), line)

    def test_the_summary_line_is_no_problem(self):
        self.assertIsNone(self.regexp.match("pairs checked: 4, pairs with messages: 1"))


class Action(unittest.TestCase):
    def setUp(self):
        self.action = load("action.yml")
        self.steps = self.action["runs"]["steps"]

    def test_is_a_composite_action_that_annotates_and_uploads(self):
        self.assertEqual(self.action["runs"]["using"], "composite")
        self.assertIn("args", self.action["inputs"])
        self.assertIn("package", self.action["inputs"])
        scripts = "\n".join(step.get("run", "") for step in self.steps)
        self.assertIn("::add-matcher::", scripts)
        self.assertIn("apt-get install", scripts)
        self.assertIn("cmake --build", scripts)
        uploads = [s for s in self.steps if s.get("uses", "").startswith(
            "github/codeql-action/upload-sarif")]
        self.assertEqual(len(uploads), 1)
        matcher = [s for s in self.steps if "MATCHER" in s.get("env", {})][0]["env"]["MATCHER"]
        self.assertTrue(os.path.isfile(matcher.replace("${{ github.action_path }}", ROOT)))
        for step in self.steps:
            if "run" in step:
                self.assertEqual(step["shell"], "bash")

    def test_the_check_step_runs_as_on_a_runner(self):
        step = [s for s in self.steps if s.get("id") == "check"][0]
        directory = fixture({"shaders/ok.vert": VERTEX, "shaders/ok.frag": BROKEN})
        output = os.path.join(directory, "output")
        environment = dict(os.environ, ARGS="-r shaders", SARIF="true", RUNNER_TEMP=directory,
                           GITHUB_OUTPUT=output,
                           MATCHER=os.path.join(ROOT, ".github/glsl-tessory-check-matcher.json"),
                           PATH=os.path.dirname(CHECKER) + os.pathsep + os.environ["PATH"])
        done = subprocess.run(["bash", "-c", step["run"]], cwd=directory, env=environment,
                              capture_output=True, text=True)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertIn("::add-matcher::", done.stdout)
        self.assertIn("shaders/ok.frag:3:", done.stdout)
        with open(output) as f:
            outputs = dict(line.strip().split("=", 1) for line in f)
        self.assertEqual(outputs["status"], "1")
        with open(outputs["sarif-file"]) as f:
            results = json.load(f)["runs"][0]["results"]
        self.assertTrue(results)
        self.assertEqual(results[0]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"],
                         "shaders/ok.frag")

    def test_the_workflow_runs_the_tests_and_the_action_on_the_examples(self):
        workflow = load(".github/workflows/ci.yml")
        jobs = workflow["jobs"]
        commands = "\n".join(s.get("run", "") for job in jobs.values() for s in job["steps"])
        self.assertIn("make test-plain", commands)
        uses = [s for job in jobs.values() for s in job["steps"] if s.get("uses") == "./"]
        self.assertEqual(len(uses), 1)
        self.assertIn("examples", uses[0]["with"]["args"])


if __name__ == "__main__":
    unittest.main()
