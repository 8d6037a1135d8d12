"""Copies the .sip files, giving every bound class and member the Doxygen text of its header.

The public headers are the one reference: a member's docstring is the comment written above it
there, so C++ and Python read the same text. A member is matched by name; overloads take the
header's comments in the order both files declare them.

    add_docstrings.py INCLUDE_DIR SIP_DIR OUT_DIR
"""

import pathlib
import re
import sys

DECL_NAME = re.compile(r"(~?\w+|operator\s*\S+?)\s*\(")


def arg_names(declaration):
    """The parameter names of a one-line or folded declaration, in order."""
    inside = declaration.split("(", 1)[1].rsplit(")", 1)[0] if "(" in declaration else ""
    inside = re.sub(r"/[^/]*/", "", inside)  # sip annotations
    names = []
    for param in re.split(r",(?![^(<]*[)>])", inside):
        match = re.search(r"(\w+)\s*(=.*)?$", param.strip())
        if match and param.strip():
            names.append(match.group(1))
    return names


def clean(lines):
    """Doxygen comment lines as plain text: markers and commands go, paragraphs stay."""
    text = []
    for line in lines:
        line = re.sub(r"^\s*(///<?|/\*\*|\*/|\*)\s?", "", line).rstrip()
        line = re.sub(r"[\\@](a|p|c|e|b|ref)\s+", "", line)
        line = re.sub(r"[\\@](brief|details)\s*", "", line)
        line = re.sub(r"[\\@]section\s+\w+\s*", "", line)
        if re.match(r"[\\@](end)?code\b", line):
            continue
        line = re.sub(r"</?b>", "", line)
        line = re.sub(r"(?<![\w&])#(?=[A-Za-z])", "", line)
        text.append(line)
    return "\n".join(text).strip()


def header_docs(path):
    """The class comment and, per member name, its comments in declaration order."""
    class_doc = ""
    members = {}
    pending = []
    in_block = False
    depth = 0
    for raw in path.read_text(encoding="utf-8").splitlines():
        line = raw.strip()
        if in_block:
            pending.append(line)
            in_block = "*/" not in line
            continue
        if line.startswith("/**"):
            pending = [line]
            in_block = "*/" not in line
            continue
        if line.startswith("///") and not line.startswith("///<"):
            pending.append(line)
            continue
        if not line or line.startswith("//") or line.startswith("#"):
            continue
        opened = line.count("{") - line.count("}")
        if re.match(r"(class|struct|enum)\b", line) and depth == 0 and not line.endswith(";"):
            if line.startswith(("class", "struct")) and pending:
                class_doc = clean(pending)
        elif pending and depth <= 1:
            match = DECL_NAME.search(line.split("=")[0] if "(" not in line else line)
            name = match.group(1) if match else None
            if name is None:
                field = re.match(r".*?(\w+)\s*(=.*)?;\s*$", line)
                name = field.group(1) if field else None
            if name:
                members.setdefault(re.sub(r"\s+", "", name), []).append(
                    (arg_names(line), clean(pending)))
        pending = []
        depth += opened
    return class_doc, members


def docstring(text, indent):
    body = "\n".join((indent + l) if l else "" for l in text.replace("%", "%%").splitlines())
    return f'{indent}%Docstring(format="deindented", signature="prepended")\n{body}\n{indent}%End\n'


def annotate(sip_path, include_dir):
    header = include_dir / (sip_path.stem + ".h")
    source = sip_path.read_text(encoding="utf-8")
    if not header.exists():
        return source
    class_doc, members = header_docs(header)
    out = []
    lines = source.splitlines(keepends=True)
    decl = []
    in_code = False
    for line in lines:
        stripped = line.strip()
        if in_code:
            out.append(line)
            in_code = stripped != "%End"
            continue
        if stripped.startswith("%") and stripped not in ("%End",) and not stripped.startswith(("%If", "%Include")):
            out.append(line)
            in_code = True
            continue
        if re.match(r"(class|struct)\s+\w+", stripped) and not stripped.endswith(";"):
            out.append(line)
            continue
        if stripped == "{" and out and re.match(r"\s*(class|struct)\s", out[-1]) and class_doc:
            out.append(line)
            out.append(docstring(class_doc, ""))
            continue
        if decl or ("(" in stripped and not stripped.startswith("//")):
            decl.append(line)
            if not stripped.endswith(";"):
                continue
            text = "".join(decl)
            decl = []
            out.append(text)
            match = DECL_NAME.search(text)
            if match:
                name = re.sub(r"\s+", "", match.group(1))
                docs = members.get(name)
                # sip takes no docstring for destructors and operators.
                if docs and not name.startswith(("~", "operator")):
                    # Overloads pair up by their parameter names, else in declaration order.
                    names = arg_names(text)
                    pick = next((d for d in docs if d[0] == names), docs[0])
                    docs.remove(pick)
                    doc = pick[1]
                    if doc:
                        out.append(docstring(doc, re.match(r"\s*", text).group(0)))
            continue
        out.append(line)
    return "".join(out)


def main(include_dir, sip_dir, out_dir):
    include_dir, sip_dir, out_dir = map(pathlib.Path, (include_dir, sip_dir, out_dir))
    out_dir.mkdir(parents=True, exist_ok=True)
    for sip_path in sorted(sip_dir.glob("*.sip")):
        text = annotate(sip_path, include_dir)
        target = out_dir / sip_path.name
        if not target.exists() or target.read_text(encoding="utf-8") != text:
            target.write_text(text, encoding="utf-8")


if __name__ == "__main__":
    main(*sys.argv[1:4])
