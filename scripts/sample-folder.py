#!/usr/bin/python3
"""Writes a small home folder of Japanese mail as Qim stores it (Shift_JIS text,
CR LF lines, numbered files) for pictures and trying the windows by hand:
plain mails, a reply with quoted lines, a multipart mail with an attachment,
and a UTF-8 mail as a web-mail service sends it.
Usage: sample-folder.py HOME"""
import base64
import os
import sys


def encoded(text):
    return "=?ISO-2022-JP?B?%s?=" % base64.b64encode(text.encode("iso2022_jp")).decode()


def mail(number, sender, subject, date, body, extra="", body_bytes=None):
    head = ("From: %s\r\nTo: taro@example.jp\r\nSubject: %s\r\nDate: %s\r\n"
            "Message-Id: <%d.sample@example.jp>\r\n%s\r\n") % (sender, subject, date, number, extra)
    data = head.encode("ascii") + (body_bytes if body_bytes is not None else body.replace("\n", "\r\n").encode("cp932"))
    return data


def main():
    home = sys.argv[1]
    os.makedirs(home, exist_ok=True)
    yamada = encoded("山田 花子") + " <hanako@example.jp>"
    suzuki = encoded("鈴木 一郎") + " <suzuki@example.co.jp>"
    mails = [
        mail(1, suzuki, encoded("来週の定例会議について"), "Mon, 7 Dec 2026 09:12:00 +0900",
             "山田さん\n\n来週の定例会議は、水曜日の十時からに変更になりました。\n"
             "会議室は三階の第二会議室です。\n\nよろしくお願いします。\n鈴木\n",
             "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n"),
        mail(2, yamada, "Re: " + encoded("来週の定例会議について"), "Mon, 7 Dec 2026 10:30:00 +0900",
             "鈴木さん\n\n承知しました。\n\n> 来週の定例会議は、水曜日の十時からに変更になりました。\n"
             "> 会議室は三階の第二会議室です。\n>> 前回の議事録も添付します。\n\n資料は前日までに送ります。\n山田\n",
             "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n"),
        mail(3, suzuki, encoded("見積書の送付"), "Tue, 8 Dec 2026 14:05:00 +0900", "",
             "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"qim-sample\"\r\n",
             b"--qim-sample\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" +
             "山田様\r\n\r\nお世話になっております。\r\nご依頼の見積書を添付いたします。\r\n"
             "詳細は https://example.co.jp/estimate をご覧ください。\r\n\r\n鈴木\r\n".encode("cp932") +
             b"--qim-sample\r\nContent-Type: application/pdf; name=\"" + encoded("見積書.pdf").encode() +
             b"\"\r\nContent-Transfer-Encoding: base64\r\nContent-Disposition: attachment; filename*=UTF-8''" +
             "".join("%%%02X" % c for c in "見積書.pdf".encode("utf-8")).encode() + b"\r\n\r\n" +
             base64.b64encode(b"%PDF-1.4\n" + bytes(range(256)) * 40) + b"\r\n--qim-sample--\r\n"),
        mail(4, "=?UTF-8?B?%s?= <info@webmail.example>" % base64.b64encode("佐藤 美咲".encode()).decode(),
             "=?UTF-8?B?%s?=" % base64.b64encode("週末のお知らせ 🎉".encode()).decode(), "Wed, 9 Dec 2026 19:45:00 +0900", "",
             "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n",
             base64.encodebytes("皆さん、こんにちは。😊\n土曜日の集まりは駅前のカフェです。\n".encode()).replace(b"\n", b"\r\n")),
        mail(5, yamada, encoded("資料ありがとうございました"), "Thu, 10 Dec 2026 08:20:00 +0900",
             "鈴木さん\n\n資料、確かに受け取りました。\nありがとうございました。\n山田\n",
             "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n"),
    ]
    for number, data in enumerate(mails, 1):
        with open(os.path.join(home, str(number)), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
