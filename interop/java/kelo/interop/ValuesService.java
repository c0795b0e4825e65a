package kelo.interop;

import java.util.ArrayList;
import java.util.Arrays;
import java.util.Collections;
import java.util.Date;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.TreeMap;

/** The values service of the reference server (see ValuesApi). */
public class ValuesService implements ValuesApi {
  @Override
  public String ping() {
    return "pong";
  }

  @Override
  public int next(int n) {
    return n + 1;
  }

  @Override
  public String greet(String name) {
    return "Hello, " + name + "!";
  }

  @Override
  public Date nextDay(Date day) {
    return new Date(day.getTime() + 86_400_000L);
  }

  @Override
  public byte[] reverse(byte[] bytes) {
    byte[] out = new byte[bytes.length];
    for (int i = 0; i < bytes.length; ++i) out[i] = bytes[bytes.length - 1 - i];
    return out;
  }

  @Override
  public String[] sorted(String[] words) {
    String[] out = words.clone();
    Arrays.sort(out);
    return out;
  }

  @Override
  public List<String> reversed(List<String> words) {
    List<String> out = new ArrayList<>(words);
    Collections.reverse(out);
    return out;
  }

  @Override
  public Map<String, Object> tally(Map<String, Object> entries) {
    Map<String, Object> out = new LinkedHashMap<>(new TreeMap<>(entries));
    out.put("size", entries.size());
    return out;
  }

  @Override
  public Team join(Team team, String member) {
    List<String> members = new ArrayList<>(team.members);
    members.add(member);
    team.members = members;
    team.size = members.size();
    return team;
  }

  @Override
  public Pair twice(String name) {
    Team team = new Team();
    team.name = name;
    team.members = new ArrayList<>(List.of(name));
    team.size = 1;
    Pair pair = new Pair();
    pair.left = team;
    pair.right = team;
    return pair;
  }

  @Override
  public Link loop(String name) {
    Link link = new Link();
    link.name = name;
    link.next = link;
    return link;
  }
}
