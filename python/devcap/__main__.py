"""python3 -m devcap FILE...: a record (.bin) is dumped as the text that makes it,
with its check; anything else is converted as devcap2bin would, without writing,
and its messages shown. Exit status 0 when every file converts or passes."""

import pathlib
import sys

import devcap


def main(argv: list[str]) -> int:
    if not argv or argv[0] in ("-h", "--help"):
        print(__doc__.strip(), file=sys.stderr if not argv else sys.stdout)
        return 2 if not argv else 0
    status = 0
    for path in argv:
        try:
            if path.endswith(".bin"):
                record = devcap.Record.from_file(path)
                sys.stdout.write(record.to_text(path))
                ok = record.check().passes
            else:
                result = devcap.convert(pathlib.Path(path).read_bytes(), path)
                for line in result.messages:
                    print(line)
                print(f"{path}: {'converts to ' + devcap.output_name(path) if result.written else 'refused'}")
                ok = result.written
        except (OSError, ValueError) as e:
            print(f"devcap: {e}", file=sys.stderr)
            status = 2
            continue
        if not ok and status == 0:
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
