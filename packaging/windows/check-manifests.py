#!/usr/bin/env python3
"""Checks the winget and Scoop manifests that cpack wrote against the schemas
those package managers publish: winget's of manifest version 1.12.0, the one
its community repository takes now, and Scoop's. The schemas are fetched
once into the cache; without a way to them this says so and checks nothing.

usage: check-manifests.py MANIFESTS_DIR
"""
import json
import os
import sys
import urllib.request

import jsonschema
import yaml

WINGET = "https://raw.githubusercontent.com/microsoft/winget-cli/master/schemas/JSON/manifests/v1.12.0/"
SCHEMAS = {
    "winget/Corvane.Corvane.yaml": WINGET + "manifest.version.1.12.0.json",
    "winget/Corvane.Corvane.installer.yaml": WINGET + "manifest.installer.1.12.0.json",
    "winget/Corvane.Corvane.locale.en-US.yaml": WINGET + "manifest.defaultLocale.1.12.0.json",
    "scoop/corvane.json": "https://raw.githubusercontent.com/ScoopInstaller/Scoop/master/schema.json",
}


def schema(url):
    cache = os.path.join(os.environ.get("XDG_CACHE_HOME", os.path.expanduser("~/.cache")), "corvane-schemas")
    path = os.path.join(cache, url.split("/")[-1])
    if not os.path.exists(path):
        os.makedirs(cache, exist_ok=True)
        with urllib.request.urlopen(url, timeout=30) as answer:
            text = answer.read()
        with open(path + ".part", "wb") as part:
            part.write(text)
        os.replace(path + ".part", path)
    with open(path, encoding="utf-8") as file:
        return json.load(file)


def main(folder):
    try:
        schemas = {name: schema(url) for name, url in SCHEMAS.items()}
    except OSError as error:
        print(f"check-manifests: skipped, as the published schemas cannot be fetched: {error}")
        return 0
    for name, rules in schemas.items():
        with open(os.path.join(folder, name), encoding="utf-8") as file:
            # As winget reads YAML: every value a string, a date too.
            manifest = json.load(file) if name.endswith(".json") else yaml.load(file, Loader=yaml.BaseLoader)
        if name.startswith("winget/") and manifest.get("ManifestVersion") != "1.12.0":
            sys.exit(f"check-manifests: {name} is not of manifest version 1.12.0")
        checker = jsonschema.validators.validator_for(rules)(rules, format_checker=jsonschema.FormatChecker())
        problems = [f"{'/'.join(map(str, e.absolute_path))}: {e.message}" for e in checker.iter_errors(manifest)]
        if problems:
            sys.exit(f"check-manifests: {name} breaks its schema:\n  " + "\n  ".join(problems))
        print(f"check-manifests: {name} matches {SCHEMAS[name]}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
