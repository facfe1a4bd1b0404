#!/usr/bin/env python3
"""Validates a JSON document against a draft 2020-12 JSON Schema.

usage: validateJson.py SCHEMA DOCUMENT

Exit code 0 when the document is valid; 1, with each error on standard
output (its place in the document and why), when it is not; 2 when the
schema itself is not a valid schema or a file cannot be read.
"""
import json
import sys

from jsonschema import Draft202012Validator
from jsonschema.exceptions import SchemaError


def main():
    try:
        with open(sys.argv[1], encoding="utf-8") as f:
            schema = json.load(f)
        with open(sys.argv[2], encoding="utf-8") as f:
            document = json.load(f)
        Draft202012Validator.check_schema(schema)
    except (OSError, ValueError, SchemaError) as error:
        print(error)
        return 2
    errors = sorted(Draft202012Validator(schema).iter_errors(document), key=lambda e: list(e.absolute_path))
    for error in errors:
        print("/".join(str(p) for p in error.absolute_path) or "(document)", ":", error.message)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
