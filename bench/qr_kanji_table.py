import subprocess, zxingcpp
from PIL import Image
pairs=[]
for lead in list(range(0x81,0xA0))+list(range(0xE0,0xEC)):
    for trail in range(0x40,0xFD):
        if trail==0x7F: continue
        code=(lead<<8)|trail
        if code>0xEBBF: continue
        try: u=bytes([lead,trail]).decode('shift_jis')
        except UnicodeDecodeError: continue
        if len(u)!=1: continue
        pairs.append((ord(u),code))
print(len(pairs))
ok=[];bad=[]
for i in range(0,len(pairs),300):
    chunk=pairs[i:i+300]
    data=b''.join(bytes([c>>8,c&0xFF]) for u,c in chunk)
    subprocess.run(['qrencode','-k','-8' if False else '-k','-s','3','-o','k.png'],input=data,check=True)
    r=zxingcpp.read_barcode(Image.open('k.png'))
    t=r.text
    if len(t)!=len(chunk):
        print('len mismatch',i,len(t)); continue
    for (u,c),ch in zip(chunk,t):
        (ok if ord(ch)==u else bad).append((u,c,ord(ch)))
print(len(ok),len(bad),[ (hex(a),hex(b),hex(c)) for a,b,c in bad[:20]])
import json; json.dump({'ok':ok,'bad':bad},open('sjis.json','w'))
