#!/usr/bin/env python3
"""Generates the bundled demo task in resources/demo/演示任务/.

Run once; the generated files are kept in the repository. The output is
deterministic: the same seed always gives the same students.

With arguments, writes a larger task of the same kind elsewhere (the seeded
division check uses one of 3,000 students):
    make-demo-task.py FOLDER STUDENTS CLASSES
"""
import os
import random
import sys
from xml.sax.saxutils import quoteattr

SEED = 20240901
TASK = "演示任务"
SUBJECTS = ["语文", "数学", "英语", "物理", "化学"]
CLASS_COUNT = 8
CLASS_SIZE = 38
STUDENT_COUNT = 300

SURNAMES = list("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤")
GIRL_CHARS = list("婷雪丽静敏燕芳娟霞萍玲红艳琳颖慧佳欣怡悦涵萱雨晴思梦瑶蕾嘉琪妍诗雅晨曦月彤洁蓉")
BOY_CHARS = list("伟强磊军洋勇杰涛明超刚平辉鹏华飞鑫波斌宇浩凯健俊帆旭晨博文轩然泽睿哲宁远航毅豪")
SCHOOLS = ["城关中学", "实验中学", "第二中学", "第三中学", "育才学校", "光明中学", "新华中学", "东湖中学"]
TEACHERS = ["王建国", "李秀英", "张志强", "刘丽华", "陈国平", "杨晓燕", "黄振华", "赵春梅"]


def new_id(rng):
    return "%032x" % rng.getrandbits(128)


def score(rng, base, full=100):
    value = max(20.0, min(full, rng.gauss(base, 11)))
    if rng.random() < 0.3:
        value = round(value * 2) / 2
    else:
        value = round(value)
    # As a spreadsheet cell is imported: one decimal, a trailing ".0" dropped.
    text = "%.1f" % value
    return text[:-2] if text.endswith(".0") else text


def main():
    global CLASS_COUNT, CLASS_SIZE, STUDENT_COUNT
    rng = random.Random(SEED)
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "demo", TASK)
    if len(sys.argv) == 4:
        root = sys.argv[1]
        STUDENT_COUNT = int(sys.argv[2])
        CLASS_COUNT = int(sys.argv[3])
        CLASS_SIZE = (STUDENT_COUNT + CLASS_COUNT - 1) // CLASS_COUNT
    os.makedirs(root, exist_ok=True)

    classes = []
    for k in range(CLASS_COUNT):
        classes.append({"id": new_id(rng), "name": "高一(%d)班" % (k + 1), "short": "%d班" % (k + 1),
                        "count": CLASS_SIZE, "teacher": TEACHERS[k % len(TEACHERS)], "index": k})

    students = []
    names = set()
    while len(students) < STUDENT_COUNT:
        sex = 0 if rng.random() < 0.48 else 1
        chars = GIRL_CHARS if sex == 0 else BOY_CHARS
        given = rng.choice(chars) + (rng.choice(chars) if rng.random() < 0.7 else "")
        name = rng.choice(SURNAMES) + given
        if name in names:
            continue
        names.add(name)
        ability = rng.gauss(75, 8)
        scores = [score(rng, ability + rng.uniform(-6, 6)) for _ in SUBJECTS]
        students.append({"id": new_id(rng), "name": name, "sex": sex, "school": rng.choice(SCHOOLS),
                         "scores": scores, "index": len(students)})

    # Pre-assignments: a few students placed in a given class.
    presets = [(students[i]["id"], classes[c]["id"], n) for n, (i, c) in
               enumerate([(3, 0), (17, 2), (42, 5), (88, 7), (150, 3)])]
    # Exclusive groups: students who must not share a class.
    groups = [(new_id(rng), [students[i]["id"] for i in members], n) for n, members in
              enumerate([[5, 6], [20, 21, 22], [60, 61], [120, 121, 122, 123]])]

    # The declaration on a line of its own, as the program writes it.
    out = ["<?xml version='1.0' encoding='GB2312'?>\r\n", "<Input>", "<TeacherInfo/>", "<ClassInfo>"]
    for c in classes:
        out.append("<Class id=%s name=%s shortname=%s studentcount=\"%d\" priority=\"1\" index=\"%d\" "
                   "headteacher=%s/>" % (quoteattr(c["id"]), quoteattr(c["name"]), quoteattr(c["short"]),
                                         c["count"], c["index"], quoteattr(c["teacher"])))
    out.append("</ClassInfo>")
    out.append("<SubjectInfo>")
    for k, s in enumerate(SUBJECTS):
        out.append("<Subject id=\"%d\" name=%s/>" % (k, quoteattr(s)))
    out.append("</SubjectInfo>")
    out.append("<StudentInfo>")
    for s in students:
        out.append("<Student id=%s name=%s sex=\"%d\" fromSchool=%s class=\"\" index=\"%d\"><ScoreInfo>"
                   % (quoteattr(s["id"]), quoteattr(s["name"]), s["sex"], quoteattr(s["school"]), s["index"]))
        for k, v in enumerate(s["scores"]):
            out.append("<Score id=\"%d\" value=\"%s\"/>" % (k, v))
        out.append("</ScoreInfo></Student>")
    out.append("</StudentInfo>")
    out.append("<RoomInfo/>")
    out.append("<MutexStudentInfo>")
    for gid, members, n in groups:
        out.append("<MutexStudent id=%s index=\"%d\">%s</MutexStudent>"
                   % (quoteattr(gid), n, "".join("<Id>%s</Id>" % m for m in members)))
    out.append("</MutexStudentInfo>")
    out.append("<StudentPreset>")
    for sid, cid, n in presets:
        out.append("<Preset id=%s class=%s index=\"%d\"/>" % (quoteattr(sid), quoteattr(cid), n))
    out.append("</StudentPreset>")
    out.append("</Input>")
    with open(os.path.join(root, "input.xml"), "wb") as f:
        f.write("".join(out).encode("gbk"))

    task = ("[Task Info]\r\nName=%s\r\nCreator=教务处\r\nCreateTime=2024-08-20 09:30:00\r\n"
            "Description=演示用的分班任务：300名新生，8个班级，5门学科\r\n" % TASK)
    with open(os.path.join(root, TASK + ".qz"), "wb") as f:
        f.write(task.encode("gbk"))
    print(os.path.normpath(root))
    return 0


if __name__ == "__main__":
    sys.exit(main())
