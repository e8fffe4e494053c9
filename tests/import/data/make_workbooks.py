#!/usr/bin/python3
"""Writes the test workbooks of this folder, in both formats, with Debian's python3-xlwt
(legacy .xls) and python3-openpyxl (.xlsx). Run it again after changing the rows:
    /usr/bin/python3 tests/import/data/make_workbooks.py
The outputs are committed, so the tests need neither library."""
import datetime
import os

import openpyxl
import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))

# (value, number format or None) per column A..M; None value = empty cell.
T = datetime.time
D = datetime.date
TICKETS = [
    [(7812345678901, None), ("999-1234567890", None), ("HX3K8M", None), ("张三", None),
     ("E12345678", None), ("CA1501", None), ("Y", None), ("PEKSHA", None),
     (D(2026, 3, 12), "yyyy-mm-dd"), (T(8, 30), "hh:mm"), (1130, None), (50, None), (50, None)],
    [("7812345678902", None), ("  999-1234560001 ", None), ("HX;3K", None), ("李四", None),
     ("O'Neil", None), ("MU5101", None), ("Y", None), ("SHAPEK", None),
     (D(2026, 3, 14), "yyyy/m/d"), (T(8, 30), "h:mm"), (900, None), (50, None), (0, None)],
    [("O'Neil", None), ("'1234", None), ("O'Neil", None), ("O'Neil", None),
     (None, None), ("CZ3101", None), ("F", None), ("CANPEK", None),
     (datetime.datetime(2026, 3, 15, 14, 5), "yyyy/m/d h:mm"), ("O'Neil", None),
     (1130.5, None), (50, "0.00"), (120, "#,##0")],
    [(1, None), (2, None), (3, None), (4, None), (5, None), (6, None), (7, None), (8, None),
     (T(7, 45), "h:mm:ss"), (T(14, 5), 'h"时"mm"分"'), (True, None), (None, None), (-3, None)],
    [("x", None), (None, None), (None, None), (None, None), (None, None), (None, None),
     (None, None), (None, None), (None, None), (D(2026, 3, 12), "yyyy-mm-dd"),
     (None, None), (None, None), (None, None)],
    [("y", None)] + [(None, None)] * 8 + [(D(2026, 3, 12), "yyyy/m/d")] + [(None, None)] * 3,
    [(None, None)] * 13,  # column A empty: reading stops here
    [("after the gap", None)] + [(None, None)] * 12,
]


def serial(v):
    base = datetime.datetime(1899, 12, 30)
    if isinstance(v, datetime.datetime):
        return (v - base).total_seconds() / 86400
    if isinstance(v, datetime.date):
        return float((datetime.datetime(v.year, v.month, v.day) - base).days)
    return (v.hour * 3600 + v.minute * 60 + v.second) / 86400


def write_xls(path, sheets):
    wb = xlwt.Workbook(encoding="utf-8")
    styles = {}
    for name, rows in sheets:
        ws = wb.add_sheet(name)
        for r, row in enumerate(rows):
            for c, (value, fmt) in enumerate(row):
                if value is None:
                    continue
                if isinstance(value, (datetime.date, datetime.time)):
                    value = serial(value)
                if fmt:
                    style = styles.setdefault(fmt, xlwt.easyxf(num_format_str=fmt))
                    ws.write(r, c, value, style)
                else:
                    ws.write(r, c, value)
    wb.save(path)


def write_xlsx(path, sheets):
    wb = openpyxl.Workbook()
    wb.remove(wb.active)
    for name, rows in sheets:
        ws = wb.create_sheet(name)
        for r, row in enumerate(rows):
            for c, (value, fmt) in enumerate(row):
                if value is None:
                    continue
                cell = ws.cell(row=r + 1, column=c + 1, value=value)
                if fmt:
                    cell.number_format = fmt
    wb.save(path)


def both(stem, sheets):
    write_xls(os.path.join(HERE, stem + ".xls"), sheets)
    write_xlsx(os.path.join(HERE, stem + ".xlsx"), sheets)


both("tickets", [("Other", [[("not this sheet", None)]]), ("Sheet1", TICKETS)])
both("many_rows", [("sheet1", [[(f"T{r + 1}", None), (r + 1, None)] for r in range(620)])])
both("empty_a1", [("sheet1", [[(None, None), ("B1 only", None)], [("A2", None)]])])
both("no_sheet1", [("Data", [[("A1", None)]]), ("Sheet2", [[("A1", None)]])])
